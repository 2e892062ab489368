#include <kiv/data/Builders.h>
#include <kiv/data/File.h>
#include <kiv/graphics/Map.h>
#include <kiv/logic/Alarm.h>
#include <kiv/logic/PathStateMachineTraverser.h>
#include <kiv/sprites/MovementPattern.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/variables/Variable.h>

#include "sprites/SpriteBroadPhase.h"

#include <algorithm>

namespace {

constexpr long MinimalVariableRecord = 100;

// Lists of object references: an int count, then the references.
template <class T>
void SaveRefs(File& f, const std::vector<T*>& refs) {
    f.Write(static_cast<int>(refs.size()));
    for (T* r : refs)
        f.Write(static_cast<node*>(r));
}

// References read back keep only objects of the expected class.
template <class T>
void LoadRefs(File& f, std::vector<T*>& refs) {
    refs.clear();
    int n = 0;
    f.Read(n);
    f.Require(static_cast<long>(n < 0 ? 0 : n) * 4);
    for (int i = 0; i < n; ++i) {
        node* object = nullptr;
        f.Read(object);
        if (T* t = dynamic_cast<T*>(object))
            refs.push_back(t);
    }
}

template <class T>
T* Ref(File& f) {
    node* object = nullptr;
    f.Read(object);
    return dynamic_cast<T*>(object);
}

} // namespace

void Sprite::Save(File& f) {
    m_Name.Save(f);
    m_Behavior.Save(f);
    f.Write(static_cast<node*>(m_Traverser));
    f.Write(m_Id);
    f.Write(m_DeleteFlag);
    f.Write(static_cast<node*>(m_Map));
    for (float v : {m_X, m_Y})
        f.Write(v);
    f.Write(m_ViewportX);
    f.Write(m_ViewportY);
    for (float v : {m_ScaleX, m_ScaleY, m_CollisionValue})
        f.Write(v);
    f.Write(m_AppliedZOrder);
    f.Write(m_CurrentAnimation);
    f.Write(m_Frame);
    f.Write(m_Delay);
    f.Write(m_ActorIndex);
    for (bool b : {m_CheckCollisionWithSprite, m_CollisionWithMap, m_Visible, m_MainCharacter,
                   m_CheckCollisionWithMap})
        f.Write(b);
    f.Write(m_RequestedAnimation);
    f.Write(m_PreviousAnimation);
    f.Write(m_DisplayListNumber);
    f.Write(m_TranslationX);
    f.Write(m_TranslationY);
    f.Write(m_Reflection);
    for (bool b : {m_ShownHFlip, m_ShownVFlip, m_RequestedHFlip, m_RequestedVFlip, m_LastHFlip,
                   m_LastVFlip, m_FlipInitialised, m_AutoFlip})
        f.Write(b);
    f.Write(m_Orientation);
    f.Write(m_PreviousOrientation);
    f.Write(m_Canned);
    f.Write(m_Pause);
    for (float v : {m_CannedFactorX, m_CannedFactorY, m_DirectionX, m_DirectionY})
        f.Write(v);
    for (bool b : {m_CannedHDirection, m_CannedVDirection, m_DoNotCutDirection})
        f.Write(b);
    f.Write(m_Speed);
    f.Write(m_MoveFraction);
    m_LastSegment.Save(f);
    for (bool b :
         {m_CheckSameDisplayList, m_GhostCollisionWithSprite, m_GhostCollisionWithMap, m_Gravity})
        f.Write(b);
    for (float v : {m_G, m_GravitySpeed, m_GravityStartX, m_GravityStartY, m_GravityDirectionX,
                    m_GravityDirectionY})
        f.Write(v);
    f.Write(m_GravityTime);
    f.Write(m_ImpactSpeed);
    f.Write(m_GravityFriction);
    f.Write(m_VariableNumber);
    for (Variable* v : m_Variables)
        v->Save(f);
    f.Write(m_Unused);
    f.Write(m_Friction);
    f.Write(m_AlarmCount);
    for (Alarm* a : m_Alarms)
        f.Write(static_cast<node*>(a));
    f.Write(m_AlarmMaximum);
    f.Write(static_cast<int>(m_TouchedNames.size()));
    for (size_t i = 0; i < m_TouchedNames.size(); ++i)
        String(m_TouchedNames[i]).Save(f);
    SaveRefs(f, m_OwnTouched);
    SaveRefs(f, m_MapTouched);
    SaveRefs(f, m_OtherTouched);
    SaveRefs(f, m_TouchedSprites);
    for (bool b : {m_CollisionType, m_ShowSpriteCollision, m_ShowSpriteBoundingBox,
                   m_ShowVectorOfTranslation})
        f.Write(b);
    f.Write(m_PreviousFrameIndex);
    f.Write(m_PegRegistered);
    f.Write(m_ZOrder);
    f.Write(m_RestartSound);
    f.Write(static_cast<node*>(m_FollowedSegment));
    f.Write(m_PathFollowing);
    for (bool b : {m_ShowPath, m_PathReEnable, m_CollisionWithPath, m_Pending})
        f.Write(b);
    for (float v : {m_SavedSpeed, m_PendingX, m_PendingY})
        f.Write(v);
    f.Write(m_PathReEnableCounter);
    f.Write(m_ActivateCollisionWithSprite);
    f.Write(m_PatternIndex);
    for (float v : m_PatternAnchors)
        f.Write(v);
    f.Write(m_PatternVector);
    f.Write(m_PatternDistance);
    for (bool b : {m_PatternLoop, m_PatternReturn, m_ShowMovementPattern})
        f.Write(b);
    f.Write(m_PatternStartX);
    f.Write(m_PatternStartY);
    f.Write(m_LocalVariableIndex);
    f.Write(localVariable);
}

void Sprite::Load(File& f) {
    kiv::SpriteBroadPhase::Changed(this);
    m_Name.Load(f);
    m_Behavior.Load(f);
    delete m_Traverser;
    m_Traverser = f.ReadOwned<PathStateMachineTraverser>();
    f.Read(m_Id);
    f.Read(m_DeleteFlag);
    m_Map = Ref<Map>(f);
    for (float* v : {&m_X, &m_Y})
        f.Read(*v);
    f.Read(m_ViewportX);
    f.Read(m_ViewportY);
    for (float* v : {&m_ScaleX, &m_ScaleY, &m_CollisionValue})
        f.Read(*v);
    f.Read(m_AppliedZOrder);
    f.Read(m_CurrentAnimation);
    f.Read(m_Frame);
    f.Read(m_Delay);
    f.Read(m_ActorIndex);
    for (bool* b : {&m_CheckCollisionWithSprite, &m_CollisionWithMap, &m_Visible, &m_MainCharacter,
                    &m_CheckCollisionWithMap})
        f.Read(*b);
    f.Read(m_RequestedAnimation);
    f.Read(m_PreviousAnimation);
    f.Read(m_DisplayListNumber);
    f.Read(m_TranslationX);
    f.Read(m_TranslationY);
    f.Read(m_Reflection);
    for (bool* b : {&m_ShownHFlip, &m_ShownVFlip, &m_RequestedHFlip, &m_RequestedVFlip,
                    &m_LastHFlip, &m_LastVFlip, &m_FlipInitialised, &m_AutoFlip})
        f.Read(*b);
    f.Read(m_Orientation);
    f.Read(m_PreviousOrientation);
    f.Read(m_Canned);
    f.Read(m_Pause);
    for (float* v : {&m_CannedFactorX, &m_CannedFactorY, &m_DirectionX, &m_DirectionY})
        f.Read(*v);
    for (bool* b : {&m_CannedHDirection, &m_CannedVDirection, &m_DoNotCutDirection})
        f.Read(*b);
    f.Read(m_Speed);
    f.Read(m_MoveFraction);
    m_LastSegment.Load(f);
    for (bool* b : {&m_CheckSameDisplayList, &m_GhostCollisionWithSprite, &m_GhostCollisionWithMap,
                    &m_Gravity})
        f.Read(*b);
    for (float* v : {&m_G, &m_GravitySpeed, &m_GravityStartX, &m_GravityStartY,
                     &m_GravityDirectionX, &m_GravityDirectionY})
        f.Read(*v);
    f.Read(m_GravityTime);
    f.Read(m_ImpactSpeed);
    f.Read(m_GravityFriction);
    int variables = 0;
    f.Read(variables);
    // Each local variable's record takes well over this many bytes: a damaged count ends
    // in the file's message before room is made for the variables.
    f.Require(static_cast<long>(variables < 0 ? 0 : variables) * MinimalVariableRecord);
    VariableNumber(variables);
    for (Variable* v : m_Variables)
        v->Load(f);
    f.Read(m_Unused);
    f.Read(m_Friction);
    f.Read(m_AlarmCount);
    m_Alarms.clear();
    f.Require(static_cast<long>(m_AlarmCount < 0 ? 0 : m_AlarmCount) * 4);
    for (int i = 0; i < m_AlarmCount; ++i)
        if (Alarm* a = Ref<Alarm>(f))
            m_Alarms.push_back(a);
    m_AlarmCount = static_cast<int>(m_Alarms.size());
    f.Read(m_AlarmMaximum);
    int names = 0;
    f.Read(names);
    f.Require(static_cast<long>(names < 0 ? 0 : names) * 4);
    m_TouchedNames.clear();
    for (int i = 0; i < names; ++i) {
        String name;
        name.Load(f);
        m_TouchedNames.push_back(name);
    }
    LoadRefs(f, m_OwnTouched);
    LoadRefs(f, m_MapTouched);
    LoadRefs(f, m_OtherTouched);
    LoadRefs(f, m_TouchedSprites);
    for (bool* b : {&m_CollisionType, &m_ShowSpriteCollision, &m_ShowSpriteBoundingBox,
                    &m_ShowVectorOfTranslation})
        f.Read(*b);
    f.Read(m_PreviousFrameIndex);
    f.Read(m_PegRegistered);
    f.Read(m_ZOrder);
    f.Read(m_RestartSound);
    m_FollowedSegment = Ref<CollisionSegment>(f);
    f.Read(m_PathFollowing);
    for (bool* b : {&m_ShowPath, &m_PathReEnable, &m_CollisionWithPath, &m_Pending})
        f.Read(*b);
    for (float* v : {&m_SavedSpeed, &m_PendingX, &m_PendingY})
        f.Read(*v);
    f.Read(m_PathReEnableCounter);
    f.Read(m_ActivateCollisionWithSprite);
    f.Read(m_PatternIndex);
    m_Pattern = m_PatternIndex >= 0 && m_PatternIndex <= maxMPIndex && MPArray
                    ? &MPArray[m_PatternIndex]
                    : nullptr;
    for (float& v : m_PatternAnchors)
        f.Read(v);
    f.Read(m_PatternVector);
    f.Read(m_PatternDistance);
    for (bool* b : {&m_PatternLoop, &m_PatternReturn, &m_ShowMovementPattern})
        f.Read(*b);
    f.Read(m_PatternStartX);
    f.Read(m_PatternStartY);
    f.Read(m_LocalVariableIndex);
    delete localVariable;
    localVariable = f.ReadOwned<node>();
    if (!m_Pattern)
        m_PatternVector = -1; // a pattern that no longer exists cannot run
}

#include <kiv/game/GameNode.h>
#include <kiv/variables/Variable.h>

void GameNode::DisplayTextNoMap() {
    for (node* n = m_Variables.Head(); !n->EOList(); n = n->Next())
        static_cast<Variable*>(n)->DisplayTextNoMap();
}

#pragma once

// Everything a game executable needs from KivCore.

#include <kiv/Export.h>

#include <kiv/base/Console.h>
#include <kiv/base/Handle.h>
#include <kiv/base/List.h>
#include <kiv/base/MemoryPool.h>
#include <kiv/base/Random.h>
#include <kiv/base/String.h>
#include <kiv/base/Types.h>
#include <kiv/base/UserError.h>
#include <kiv/base/node.h>
#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/data/GameFiles.h>
#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/Screen.h>
#include <kiv/host/Host.h>
#include <kiv/host/Resources.h>
#include <kiv/input/DIK.h>
#include <kiv/input/DirectInput.h>
#include <kiv/input/Keyboard.h>
#include <kiv/variables/Variable.h>

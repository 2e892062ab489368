#include "base/Messages.h"

namespace kiv {

namespace {

// Every text the library shows for a fault, indexed as the rest of the library refers to it.
// Entries 92 and 113 hold the typographic quotes of the games' code page (0x91, 0x92).
const char* const Table[MessageCount] = {
    /*   0 */ "Alarm %s not found.",
    /*   1 */ "The local variable %d cannot be found.",
    /*   2 */ "The state machine %d cannot be found.",
    /*   3 */ "The state machine %d has already been added.",
    /*   4 */ "The function %d cannot be found.",
    /*   5 */ "The function %d has already been added.",
    /*   6 */ "The timer %d cannot be found.",
    /*   7 */ "The timer %d has already been added.",
    /*   8 */ "Cannot clear a behavior while it is running.",
    /*   9 */ "The state machine %d has not been added.",
    /*  10 */ "The timer %d has not been added.",
    /*  11 */ "The function %d has not been added.",
    /*  12 */ "Cannot assign a new value to a behavior while it is running.",
    /*  13 */ "The bitmap file %s does not exist.",
    /*  14 */ "Error loading the %s bitmap file.",
    /*  15 */
    "For the bitmap file %s to be a master map, its height and width must be greater or equal to "
    "the height and width of the viewport.",
    /*  16 */ "The map's X viewport position is correct only if the map is not wrapping.",
    /*  17 */ "The map's Y viewport position is correct only if the map is not wrapping.",
    /*  18 */ "The map's X world position is correct only if the map is not wrapping.",
    /*  19 */ "The map's Y world position is correct only if the map is not wrapping.",
    /*  20 */ "Map %s not found.",
    /*  21 */ "The level numbered: %d is not found.",
    /*  22 */ "The level named: %s is not found.",
    /*  23 */ "Sprite %s can't be added because there are only %d display lists.",
    /*  24 */ "The sound file %s does not exist.",
    /*  25 */ "The streamed sound file %s does not exist.",
    /*  26 */ "The MIDI file %s does not exist.",
    /*  27 */ "The main character must be inside the viewport scrolling bounding box.",
    /*  28 */
    "The new location (%d, %d) of the mouse is outside its motion rect, so it is not set.",
    /*  29 */
    "The new motion rectangle is empty or not provided, so the motion rectangle is not set.",
    /*  30 */
    "The pattern vector number must be less than the total number of vectors initialized.",
    /*  31 */ "The pattern vector number must be greater or equal to zero.",
    /*  32 */ "Particle System %s not found.",
    /*  33 */ "Invalid name.",
    /*  34 */
    "The map name \"%s\" that the Particle System \"%s\" should belong to, does not exist.",
    /*  35 */ "State number %d not found.",
    /*  36 */ "Variable %s not found.",
    /*  37 */ "Cannot load the text file: %s.",
    /*  38 */ "Cannot follow a NULL sprite.",
    /*  39 */ "Cannot follow a sprite with a NULL name.",
    /*  40 */ "The font name: %s is not supported.",
    /*  41 */ "The font width: %d is not supported.",
    /*  42 */ "The font height: %d is not supported.",
    /*  43 */ "The font weight: %d is not supported.",
    /*  44 */ "The font cannot be set to Italic.",
    /*  45 */ "The font cannot be set to Strikeout.",
    /*  46 */ "The font cannot be set to Underline.",
    /*  47 */
    "The display type must be selected from the following list: RespectingWords, "
    "ConsecutiveCharacters, HorizontalScrolling, VerticalScrolling or HVScrolling.",
    /*  48 */ "The frame defined for the text: %s is outside of the map: %s.",
    /*  49 */ "Cannot assign a text to an unnamed map.",
    /*  50 */
    "The effect type must be selected from the following list: CharacterByCharacterEffect, "
    "LineByLineEffect, ASCIIEffect, RandomDecoding, SequentialDecoding.",
    /*  51 */ "The effect Filter can't be set because another GammaRamp effect is running.",
    /*  52 */ "The effect Filter can't be set because full screen mode is required.",
    /*  53 */ "The effect FadeIn can't be set because another GammaRamp effect is running.",
    /*  54 */ "The effect FadeIn can't be set because full screen mode is required.",
    /*  55 */ "The effect FadeOut can't be set because another GammaRamp effect is running.",
    /*  56 */ "The effect FadeOut can't be set because full screen mode is required.",
    /*  57 */ "The effect LeftRightClose can't be set because another OpenClose effect is running.",
    /*  58 */ "The effect LeftRightOpen can't be set because another OpenClose effect is running.",
    /*  59 */ "The effect TopBottomClose can't be set because another OpenClose effect is running.",
    /*  60 */ "The effect TopBottomOpen can't be set because another OpenClose effect is running.",
    /*  61 */ "The effect RectClose can't be set because another OpenClose effect is running.",
    /*  62 */ "The effect RectOpen can't be set because another OpenClose effect is running.",
    /*  63 */ "The effect CircleClose can't be set because another OpenClose effect is running.",
    /*  64 */ "The effect CircleOpen can't be set because another OpenClose effect is running.",
    /*  65 */ "The effect OneColor can't be set because another RandomDissolve effect is running.",
    /*  66 */
    "The effect BlackAndWhite can't be set because another RandomDissolve effect is running.",
    /*  67 */
    "The effect MultiColor can't be set because another RandomDissolve effect is running.",
    /*  68 */ "Sprite name: %s not found.",
    /*  69 */ "Sprite %i not found.",
    /*  70 */ "The speed of a sprite must be positive.",
    /*  71 */ "Animation must be greater or equal to zero.",
    /*  72 */ "Animation %d not found.",
    /*  73 */ "Frame number must be greater or equal to zero.",
    /*  74 */ "Frame %d not found.",
    /*  75 */ "Actor index must be a positive value.",
    /*  76 */ "Actor index %d is greater than the maximum number of actors allowed.",
    /*  77 */ "Direction %d not found.",
    /*  78 */ "The angle value must be in the range of [0...359].",
    /*  79 */ "The smooth angle value must be in the range of [0...180].",
    /*  80 */ "Gravity must be a percentage range.",
    /*  81 */
    "The map name \"%s\" that the sprite \"%s\" belongs to is not a master map nor a standard map.",
    /*  82 */ "The map name \"%s\" that the sprite \"%s\" belongs to, does not exist.",
    /*  83 */ "Cannot set a NULL map.",
    /*  84 */ "The number of a hot point of a sprite must be between 0 and %d.",
    /*  85 */ "The friction must be a percentage range.",
    /*  86 */ "The collision ID number %d is not implemented in the map %s.",
    /*  87 */ "The collision ID number %d is not implemented in any sprite's collision.",
    /*  88 */ "The collision ID number %d of the current sprite is not implemented.",
    /*  89 */
    "The hot point %d of the current sprite, is greater than the maximum of hot points allowed.",
    /*  90 */ "The ray direction can only be set to UP or DOWN.",
    /*  91 */ "The ray direction can only be set to RIGHT or LEFT.",
    /*  92 */
    "The smooth factor mustn\x92"
    "t be greater than 10.",
    /*  93 */ "Cannot get the distance to a null sprite.",
    /*  94 */ "Cannot get the difference to a null sprite.",
    /*  95 */ "Cannot get the relative position of a null sprite.",
    /*  96 */ "Cannot get the flip direction of a null sprite.",
    /*  97 */
    "The range allowed to test a bit value from the collision data attribute is between 2 and 8.",
    /*  98 */ "Animation index must be greater or equal to zero.",
    /*  99 */ "The sound named %s is not found.",
    /* 100 */
    "The station specified must be in the range of stations created between station number 0 and "
    "station number %d.",
    /* 101 */ "The movement pattern %d cannot be found.",
    /* 102 */ "Path State Machine number %d not found.",
    /* 103 */ "Ray direction must be one of four directions: RIGHT, LEFT, DOWN, UP.",
    /* 104 */ "Could not open the file %s for reading.",
    /* 105 */ "Could not open the file %s for writing.",
    /* 106 */ "Please set your display device to 256 colors.",
    /* 107 */ "Please set your display device to 16 bit.",
    /* 108 */ "Please set your display device to 24 bit.",
    /* 109 */ "Please set your display device to 32 bit.",
    /* 110 */ "The mode %d X %d X %d is not supported.",
    /* 111 */ "The MIDI file %s does not exist or its format is not supported.",
    /* 112 */ "No settings available.",
    /* 113 */
    "Cannot create more than one \x91"
    "Kiv\x92"
    " instance.",
    /* 114 */ "There is an error in the sound device or no driver was found.",
    /* 115 */ "Initialization of the graphics subsystem failed.",
    /* 116 */ "Error loading replay file.",
    /* 117 */ "Error saving file.",
    /* 118 */ "Error loading file.",
    /* 119 */ "Error saving replay file.",
    /* 120 */ "Invalid option.",
    /* 121 */ "Failed to create a new session.",
    /* 122 */ "Failed to join a session.",
    /* 123 */ "Initialization failed and/or already connected.",
    /* 124 */ "Failed to create a session.",
    /* 125 */ "Failed to use the port.",
    /* 126 */ "Failed to connect.",
    /* 127 */ "The host has terminated the session.\nSorry, the game cannot continue.",
    /* 128 */ "Connection to the host is lost.\nSorry, the game cannot continue.",
    /* 129 */ "Sorry, the session is full.\nTry again later.",
    /* 130 */ "Player '%s' has resigned.\nSorry, the game cannot continue.",
    /* 131 */ "Player 'Unidentified' has resigned.\nSorry, the game cannot continue.",
};

} // namespace

const char* Message(int index) {
    return index >= 0 && index < MessageCount ? Table[index] : "";
}

} // namespace kiv

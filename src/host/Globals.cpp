#include <kiv/base/Types.h>

KivRect zrect = {0, 0, 0, 0};

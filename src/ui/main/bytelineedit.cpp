#include "ui/main/bytelineedit.h"

#include "engine/charset.h"

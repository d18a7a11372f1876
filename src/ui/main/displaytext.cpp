#include "ui/main/displaytext.h"

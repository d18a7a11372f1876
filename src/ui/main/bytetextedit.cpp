#include "ui/main/bytetextedit.h"

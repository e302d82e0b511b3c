#include "shell/ui/MapFileS.h"

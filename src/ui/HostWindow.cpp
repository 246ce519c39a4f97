#include "HostWindow.h"

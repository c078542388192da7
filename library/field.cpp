#include "library/vorsel_for.h"

// The test type library's ids, defined once.
#include <initguid.h>

#include "QuellinSwatchTest.h"

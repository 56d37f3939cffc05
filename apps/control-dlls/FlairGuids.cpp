// The type library's ids (LIBID, IIDs, CLSID), defined once for the DLL.
#include <initguid.h>

#include "DorveltFlairButton.h"

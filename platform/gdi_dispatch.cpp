// The generic object calls, dispatched to the object table.
#include "platform/gdi_objects.h"

BOOL DeleteObject(HGDIOBJ object) { return GdiTableDeleteObject(object).value_or(FALSE); }

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) { return GdiTableSelectObject(hdc, object).value_or(nullptr); }

int GetObjectA(HGDIOBJ object, int size, LPVOID out) { return GdiTableGetObject(object, size, out).value_or(0); }

DWORD GetObjectType(HGDIOBJ object) { return GdiTableObjectType(object); }

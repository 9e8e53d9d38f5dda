#include "framework/control_container.h"

void AfxEnableControlContainer(COccManager* /*pOccManager*/) {}

// Container support for ActiveX controls in dialogs.
#pragma once

class COccManager;

// The program's dialogs hold only the platform's own controls (buttons,
// statics, edits), so there is no control site to create: this switches
// nothing on and exists so that start-up reads as the framework expects.
void AfxEnableControlContainer(COccManager* pOccManager = nullptr);

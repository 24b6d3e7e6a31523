#pragma once
// to be written: frmMain, the launcher's hidden main window

#pragma once
// to be written: frmControl, the watcher's window

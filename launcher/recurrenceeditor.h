#pragma once
// to be written: frmRicorrenze

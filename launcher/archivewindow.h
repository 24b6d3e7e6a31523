#pragma once
// to be written: frmArchivio

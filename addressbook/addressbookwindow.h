#pragma once
// to be written: frmRubrica and startAddressBook(const Services &)

#pragma once
// to be written: the recurrence editor's entries and checks

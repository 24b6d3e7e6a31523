#pragma once
// to be written: the archive's display text and its search

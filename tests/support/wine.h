#pragma once

// True when the Windows build runs under Wine rather than on Windows: rows that
// only differ because Wine is not Windows skip there.
bool runningUnderWine();

#pragma once
// How long a tooltip stays up, for the whole application.
//
// Qt keeps that time per widget; this sets it for every widget that has not
// chosen its own, including widgets created later.
void SetHintHidePause(int msec);
// The time set last; -1 (Qt's default, which depends on the text) before.
int HintHidePause();

#pragma once
// Whether a delayed load is running: sorting and Find symbol refuse to run while it is.
class TFormQuote;

bool DelayedLoadRunning(const TFormQuote& form);

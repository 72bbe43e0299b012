#include "app/quote_load_state.h"

#include <QPushButton>

#include "app/form_quote.h"

bool DelayedLoadRunning(const TFormQuote& form) {
    // The loader disables "Get Quotes" for the whole load; the flag also covers the moment
    // between the click and the loader's first step.
    return form.QuotesLoading || !form.BtnQuote->isEnabled();
}

#include "gui_support/tickwell_windows.h"

#include "app/application.h"
#include "app/form_quote.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/open_dialog.h"
#include "platform/url_opener.h"

TFormQuote& TickwellWindows() {
    if (!FormQuote) {
        installFontSubstitutions();
        MessageBoxSeam::answerInTests();
        OpenDialogSeam::answerInTests();
        UrlOpenerSeam::recordInTests();
        CreateTickwellWindows();
    }
    return *FormQuote;
}

QWidget* FindControl(const QString& name) {
    TFormQuote& form = TickwellWindows();
    if (form.objectName() == name)
        return &form;
    return form.findChild<QWidget*>(name);
}

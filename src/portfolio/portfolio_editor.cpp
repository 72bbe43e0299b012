// The Portfolios tab's editor: Edit, Create, Save and Cancel on portfolio files.
#include "portfolio/portfolio_editor.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextDocument>
#include <cerrno>
#include <cstring>

#include "app/form_quote.h"
#include "platform/message_box.h"
#include "platform/open_dialog.h"
#include "platform/rich_edit.h"
#include "portfolio/core/portfolio_rules.h"
#include "portfolio/create_portfolio_dialog.h"

namespace {
const char* const Attention = "Attention";

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The editor's lines; an empty last line after a final line break is not a line.
QStringList editorLines(const TRichEdit* editor) {
    QString text = editor->toPlainText();
    if (text.isEmpty())
        return {};
    if (text.endsWith('\n'))
        text.chop(1);
    return text.split('\n');
}

// Writes every line and a newline beside the portfolio, and puts the result in its place
// only when all of it was written: a failed save leaves the old file whole. Returns an
// empty text, or the system's reason.
QString savePortfolio(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    bool written = true;
    for (const QString& line : lines) {
        const QByteArray bytes = line.toUtf8() + '\n';
        written = written && file.write(bytes) == bytes.size();
    }
    // Flushed here, since this Qt's commit() does not notice a flush that fails: a short
    // write would otherwise still replace the portfolio.
    if (!written || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
// A portfolio line as the editor shows it: UTF-8, or Latin-1 for a file written before.
QString editorText(const std::string& line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
    return utf8.hasError() ? QString::fromLatin1(line.c_str()) : text;
}
} // namespace

bool EditorIsOpen(const TFormQuote& form) {
    return form.StaticText12->isVisibleTo(form.Historical);
}

void OpenEditorOn(TFormQuote& form, const QString& path) {
    form.PortfolioFileName = path;
    form.StaticText12->setText(QFileInfo(path).fileName());
    form.StaticText12->adjustSize();
    form.StaticText12->show();
    form.RichEdit3->show();
    form.RichEdit2->document()->setModified(false);
}

bool SaveEditor(TFormQuote& form) {
    const QString error = savePortfolio(form.PortfolioFileName, editorLines(form.RichEdit2));
    if (!error.isEmpty()) {
        // The work stays in the editor, still Open, so the user can save it elsewhere.
        MessageBox("Cannot save the portfolio " + form.PortfolioFileName + ": " + error +
                       ". Your list is still in the editor.",
                   Attention);
        return false;
    }
    CloseEditor(form);
    return true;
}

bool EditorHasUnsavedChanges(const TFormQuote& form) {
    return EditorIsOpen(form) && form.RichEdit2->document()->isModified();
}

void CloseEditor(TFormQuote& form) {
    form.RichEdit2->clear();
    form.RichEdit3->hide();
    form.StaticText12->hide();
}

void TFormQuote::Button5Click() {
    if (EditorIsOpen(*this)) {
        MessageBox("Porfolio list currently open. Select Cancel or Save before editing another portfolio. ", Attention);
        return;
    }
    RichEdit2->clear();
    if (!OpenFile->Execute())
        return;
    const QString path = OpenFile->FileName;
    PortfolioFile = openPortfolio(QFile::encodeName(path).constData());
    if (!PortfolioFile) {
        // Nothing to edit: say why and stay Closed rather than Open on an empty list.
        MessageBox("Cannot open the portfolio " + path + " for editing: " + systemError() + ".", Attention);
        return;
    }
    OpenEditorOn(*this, path);
    QStringList lines;
    for (const std::string& line : readPortfolioForEditor(PortfolioFile))
        lines << editorText(line);
    RichEdit2->setPlainText(lines.join('\n'));
    RichEdit2->document()->setModified(false);
    std::fclose(PortfolioFile);
    PortfolioFile = nullptr;
}

void TFormQuote::Button6Click() {
    if (EditorIsOpen(*this)) {
        MessageBox("Porfolio list currently open. Select Cancel or Save before creating another portfolio. ",
                   Attention);
        return;
    }
    CreatePort1->exec();
}

void TFormQuote::Button7Click() {
    if (!EditorIsOpen(*this))
        return;
    if (MessageBox("Are you sure you want to Save this portfolio list?", Attention, MsgButtons::OkCancel) !=
        MsgAnswer::Ok)
        return;
    SaveEditor(*this);
}

void TFormQuote::Button8Click() {
    if (!EditorIsOpen(*this))
        return;
    if (MessageBox("Are you sure you want to Cancel?  All work on this portfolio will  be lost if you click OK.",
                   Attention, MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    if (PortfolioFile) {
        std::fclose(PortfolioFile);
        PortfolioFile = nullptr;
    }
    CloseEditor(*this);
}

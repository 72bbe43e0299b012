#pragma once
// The main window: three tabs (Quotes, RealTime, Portfolios), the main menu, two refresh
// timers and two file-open dialogs. Every control carries its name as objectName.
#include <QMainWindow>
#include <cstdio>

#include "portfolio/core/portfolio_folder.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QTimer;
class TOpenDialog;
class TRichEdit;
class TStatusBar;
class TStringGrid;

class QuotesLoadView;
class RealTimeLoadView;

class TFormQuote : public QMainWindow {
public:
    explicit TFormQuote(QWidget* parent = nullptr);
    ~TFormQuote() override;

    // Outer size at creation (Window Sizing starts from it).
    int NormalHeight = 0;
    int NormalWidth = 0;
    QString PortfolioFileName; // absolute path of the portfolio open in the editor
    // Where each quote tab's bare portfolio name resolves.
    PortfolioFolder QuotesFolder;
    PortfolioFolder RealTimeFolder;
    FILE* PortfolioFile = nullptr;

    // True from a tab's "Get Quotes" until its load has ended: a second "Get Quotes"
    // (a click, or a refresh tick) while it is set starts nothing.
    bool QuotesLoading = false;
    bool RealTimeLoading = false;

    QTabWidget* PgC1;
    QWidget* Quotes;
    QWidget* RealTime;
    QWidget* Historical;

    // Quotes tab
    QLabel *Label16, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
    TStringGrid* QT1;
    QCheckBox *CheckBox1, *CheckBox2;
    QPushButton* BtnQuote;
    QCheckBox* CheckBox;
    QComboBox* ComboBox;
    QFrame* Bevel1;
    QLineEdit* Edit2;
    QPushButton* Button2;
    QLineEdit* Edit1;
    QPushButton* Button3;
    QLineEdit* Portfolio;
    QPushButton* PortName;
    QLabel* AdvLabel;
    QLineEdit* Adv;
    QLabel* Label1;
    QLineEdit* Decl;
    QLabel* Label2;
    QLineEdit* NoChg;
    TStatusBar* StatusBar1;
    TRichEdit* DisplayQR;

    // RealTime tab
    QLabel *Label9, *Label10, *Label11, *Label12, *Label13, *Label14, *Label15;
    TStringGrid* RT1;
    QPushButton* BtnQuote1;
    QCheckBox* CheckBox3;
    QComboBox* ComboBox1;
    QLineEdit* Portfolio1;
    QPushButton* Button1;
    TStatusBar* StatusBar2;
    TRichEdit* DisplayQR1;

    // Portfolios tab
    QLabel* StaticText12;
    TRichEdit* RichEdit2;
    QPushButton *Button5, *Button6, *Button7, *Button8;
    TRichEdit* RichEdit3;

    // Menu, timers, dialogs
    QMenuBar* MainMenu1;
    QMenu *Sort1, *Help1, *WindowSizing1;
    QAction *Alphabetically1, *byChange1;
    QAction *About1, *AddingStockSymbols1, *Aboutautomaticrefreshfeature1, *Aboutautomaticsort1;
    QAction *Reduced1, *Normal, *Enlarged1;
    QTimer *Timer, *Timer1;
    TOpenDialog *OpenFile, *OpenFile1;

    // Start-up and main window
    void FormCreate();
    void BtnQuoteClick();
    void BtnQuote1Click();
    void QuotesShow();
    void RealTimeShow();
    void CheckBox1Click();
    void CheckBox2Click();
    void About1Click();
    void AddingStockSymbols1Click();
    void Aboutautomaticrefreshfeature1Click();
    void Aboutautomaticsort1Click();

    // Sorting
    void Alphabetically1Click(QAction* sender);
    void byChange1Click(QAction* sender);

    // Quote grids
    void QT1DrawCell(int col, int row, const QRect& rect, QPainter& canvas);
    void RT1DrawCell(int col, int row, const QRect& rect, QPainter& canvas);
    void QT1Click();
    void RT1Click();

    // Automatic refresh
    void CheckBoxClick();
    void ComboBoxChange();
    void TimerTimer();
    void CheckBox3Click();
    void ComboBox1Change();
    void Timer1Timer();

    // Find symbol and details
    void Button2Click();
    void Button2Exit();
    void Edit2KeyDown(int key);
    void Button3Click();

    // Window sizing
    void Reduced1Click();
    void NormalClick();
    void Enlarged1Click();

    // Portfolios
    void PortNameClick();
    void Button1Click();
    void PortfolioChange();
    void Portfolio1Change();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Unsaved text in the portfolio editor is not closed away without asking.
    void closeEvent(QCloseEvent* event) override;

private:
    void createQuotesTab();
    void createRealTimeTab();
    void createPortfoliosTab();
    void createMenu();
    void createComponents();
    void setTabOrder();
    void connectHandlers();

    bool searching_ = false; // Find symbol is moving the focus itself
    // Where each tab's loads report.
    QuotesLoadView* quotesLoadView_ = nullptr;
    RealTimeLoadView* realTimeLoadView_ = nullptr;
};

extern TFormQuote* FormQuote;

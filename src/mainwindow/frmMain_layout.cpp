// The main window's controls, placed in twips as designed (15 twips to a pixel).
#include "mainwindow/frmMain.h"

#include "mainwindow/SkinImage.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/adoui/FieldBinding.h"
#include "platform/host/PasswordMask.h"
#include "platform/host/KeyStatePanel.h"
#include "platform/vb/Constants.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

template <class W>
W* make(QWidget* parent, const char* name, double left, double top, double width, double height)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(vb::twipsToPixels(left), vb::twipsToPixels(top), vb::twipsToPixels(width),
        vb::twipsToPixels(height));
    return w;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, double left, double top,
    double width, double height)
{
    auto* l = make<QLabel>(parent, name, left, top, width, height);
    l->setText(text);
    return l;
}

SkinImage* image(QWidget* parent, const char* name, const QString& tip, double left, double top,
    double width, double height)
{
    auto* i = make<SkinImage>(parent, name, left, top, width, height);
    i->setToolTip(tip);
    return i;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& tip,
    double left, double top, double width, double height)
{
    auto* b = make<QPushButton>(parent, name, left, top, width, height);
    b->setText(caption);
    b->setToolTip(tip);
    return b;
}

const QString kCopyTip = QStringLiteral("Copy Contents to Clipboard");

// A frame's caption sits on its border line, clear of the controls placed below it.
const QString kFrameStyle = QStringLiteral(
    "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 7px;"
    " background-color: palette(window); }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px; }");

// The window is laid out for Arial and Arial Narrow. Debian ships metric-compatible faces under
// other names; mapping the names keeps every caption the width it was designed at.
void useMetricCompatibleFonts()
{
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(
        QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"));
}

} // namespace

void frmMain::buildControls()
{
    useMetricCompatibleFonts();
    setObjectName(QStringLiteral("frmMain"));
    setProperty("Tag", QStringLiteral("1073"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(vb::twipsToPixels(10365), vb::twipsToPixels(7485));
    setCentralWidget(client);

    buildToolbarBands();

    Frame1 = make<QFrame>(client, "Frame1", 120, 600, 10125, 2175);
    DataGrid1 = make<adoui::DataGrid>(Frame1, "DataGrid1", 240, 0, 9855, 1815);
    Adodc1 = make<adoui::DataControl>(Frame1, "Adodc1", 240, 1845, 9855, 330);
    Adodc1->setCaption(QStringLiteral("ACCOUNT SELECTOR"));
    Adodc1->setToolTip(QStringLiteral("Scan Available Records"));
    DataGrid1->setDataSource(Adodc1);

    txtDataInform = make<QPlainTextEdit>(client, "txtDataInform", 360, 600, 9855, 1215);
    txtDataInform->setReadOnly(true);
    QFont informFont(QStringLiteral("Arial"));
    informFont.setPointSizeF(14.25);
    txtDataInform->setFont(informFont);

    buildEditor();
    buildFilter();

    Label7 = label(client, "Label7", QStringLiteral("PRESS THE REFRESH PASSWORD BUTTON!"), 2400,
        3600, 5535, 375);
    Label7->lower();
    // The frames and the grid cover the label; it shows only while they are hidden.
    for (QWidget* cover : { static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame2),
             static_cast<QWidget*>(Frame3), static_cast<QWidget*>(txtDataInform) }) {
        cover->setAutoFillBackground(true);
    }
    cmdPassword = button(client, "cmdPassword", QStringLiteral("REFRESH PASSWORD"),
        QStringLiteral("Re-enter master password"), 3960, 4200, 2415, 495);
    cmdPassword->hide();

    auto* picHook = make<QLabel>(client, "picHook", 0, 0, 0, 0);
    picHook->hide();

    sbStatusBar = new QStatusBar(this);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->setSizeGripEnabled(false);
    for (int i = 1; i <= 3; ++i) {
        // The third panel shows the Caps Lock state.
        QLabel* panel = i < 3 ? new QLabel(sbStatusBar)
                              : new host::KeyStatePanel(vb::vbKeyCapital, QStringLiteral("CAPS"),
                                    sbStatusBar);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        if (i < 3) {
            // A panel cuts a long text (a data file's name) short rather than widen the window.
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        }
        sbStatusBar->addWidget(panel, i == 1 ? 3 : i == 2 ? 2 : 0);
    }
    setStatusBar(sbStatusBar);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    timOnTop = new QTimer(this);
    timOnTop->setObjectName(QStringLiteral("timOnTop"));

    buildMenus();
    connectImages();
    connectHandout();
}

void frmMain::buildToolbarBands()
{
    QWidget* client = centralWidget();
    CoolBar1 = make<QFrame>(client, "CoolBar1", 0, 0, 10365, 540);
    CoolBar1->setFrameShape(QFrame::StyledPanel);
    const double bandLeft[3] = { 0, 4200, 8985 };
    const double bandWidth[3] = { 4200, 4785, 1380 };
    for (int b = 0; b < 3; ++b) {
        auto* band = make<QFrame>(CoolBar1, "", bandLeft[b], 0, bandWidth[b], 540);
        band->setObjectName(QStringLiteral("Band%1").arg(b + 1));
    }
    QWidget* band1 = CoolBar1->findChild<QFrame*>(QStringLiteral("Band1"));
    QWidget* band3 = CoolBar1->findChild<QFrame*>(QStringLiteral("Band3"));
    fraToolbar = make<QFrame>(band1, "fraToolbar", 90, 90, 3420, 360);
    Frame4 = make<QFrame>(band3, "Frame4", 90, 90, 1080, 360);

    imgTBopen = image(fraToolbar, "imgTBopen", QStringLiteral("1024"), 0, 0, 360, 360);
    imgTBclose = image(fraToolbar, "imgTBclose", QStringLiteral("1079"), 360, 0, 360, 360);
    imgTBnew = image(fraToolbar, "imgTBnew", QStringLiteral("1074"), 720, 0, 360, 360);
    imgTBunlock = image(fraToolbar, "imgTBunlock", QStringLiteral("1075"), 1075, 0, 360, 360);
    imgTBsave = image(fraToolbar, "imgTBsave", QStringLiteral("1005"), 1440, 0, 360, 360);
    imgTBprint = image(fraToolbar, "imgTBprint", QStringLiteral("1026"), 1920, 0, 360, 360);
    imgTBoptions = image(fraToolbar, "imgTBoptions", QStringLiteral("1080"), 2280, 0, 360, 360);
    imgTBhelp = image(fraToolbar, "imgTBhelp", QStringLiteral("1081"), 2640, 0, 360, 360);
    imgTBinfo = image(fraToolbar, "imgTBinfo", QStringLiteral("1082"), 3000, 0, 360, 360);
    imgTBontop = image(Frame4, "imgTBontop", QStringLiteral("1078"), 0, 0, 360, 360);
    imgTBmin = image(Frame4, "imgTBmin", QStringLiteral("Minimise to Icon Tray"), 360, 0, 360, 360);
    imgTBexit = image(Frame4, "imgTBexit", QStringLiteral("Exit Program"), 720, 0, 360, 360);
    imgTBsave->setEnabled(false);
    imgTBprint->setEnabled(false);
    imgTBclose->setEnabled(false);

    auto* Image1 = make<SkinImage>(
        CoolBar1->findChild<QFrame*>(QStringLiteral("Band2")), "Image1", 90, 45, 4545, 450);
    Q_UNUSED(Image1);

    // The standard toolbar exists as named commands only; it is never shown.
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    const struct
    {
        const char* key;
        const char* tip;
    } buttons[] = { { "New", "1023" }, { "Open", "1024" }, { "SaveAs", "1025" },
        { "Print", "1026" }, { "Cut", "1027" }, { "Copy", "1028" }, { "Paste", "1029" },
        { "Bold", "1030" }, { "Italic", "1031" }, { "Underline", "1032" }, { "Align Left", "1033" },
        { "Center", "1034" }, { "Align Right", "1035" }, { "Exit", "E&xit" } };
    for (const auto& b : buttons) {
        QAction* a = tbToolBar->addAction(QString::fromLatin1(b.key));
        a->setObjectName(QString::fromLatin1(b.key));
        a->setToolTip(QString::fromLatin1(b.tip));
    }
    addToolBar(tbToolBar);
    tbToolBar->hide();
}

void frmMain::buildEditor()
{
    Frame2 = make<QGroupBox>(centralWidget(), "Frame2", 120, 2820, 10125, 3315);
    Frame2->setTitle(QStringLiteral(" ACCOUNT EDITOR "));
    Frame2->setStyleSheet(kFrameStyle);

    QFont narrow(QStringLiteral("Arial Narrow"));
    narrow.setPointSizeF(9.75);
    const QString dataStyle = QStringLiteral("background-color: rgb(245, 243, 222);");
    const QString captionStyle = QStringLiteral("background-color: rgb(192, 192, 192);");

    const struct
    {
        const char* name;
        const char* text;
        double top;
    } labels[] = { { "Label1", "Account:", 150 }, { "Label2", "URL:", 630 },
        { "Label3", "User ID:", 1125 }, { "Label4", "Password:", 1605 },
        { "Label5", "PW Info:", 2085 } };
    for (const auto& l : labels) {
        label(Frame2, l.name, QString::fromLatin1(l.text), 105, l.top, 975, 375)->setFont(narrow);
    }
    label(Frame2, "Label6", QStringLiteral("INFO:"), 5280, 2100, 855, 375)->setFont(narrow);

    auto line = [&](const char* name, const char* tip, int maxLength, double left, double top,
                    double width, bool masked) {
        auto* box = make<QLineEdit>(Frame2, name, left, top, width, 375);
        box->setToolTip(QString::fromLatin1(tip));
        box->setMaxLength(maxLength);
        box->setStyleSheet(dataStyle);
        if (masked) {
            box->setEchoMode(QLineEdit::Password);
            host::maskWithAsterisks(*box);
        }
        return box;
    };
    auto caption = [&](const char* name, const char* design, const char* tip, double top) {
        auto* box = make<QLineEdit>(Frame2, name, 5280, top, 855, 375);
        box->setText(QString::fromLatin1(design));
        box->setToolTip(QString::fromLatin1(tip));
        box->setMaxLength(16);
        box->setFont(narrow);
        box->setStyleSheet(captionStyle);
        return box;
    };
    auto multi = [&](const char* name, const char* tip, double left, double top, double height) {
        auto* box = make<QPlainTextEdit>(Frame2, name, left, top, 3615, height);
        box->setToolTip(QString::fromLatin1(tip));
        box->setStyleSheet(dataStyle);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setTabChangesFocus(true);
        return box;
    };

    txtAccount = make<QLineEdit>(Frame2, "txtAccount", 1080, 150, 3615, 405);
    txtAccount->setToolTip(QStringLiteral("Account Name. REQUIRED!"));
    txtAccount->setMaxLength(50);
    txtAccount->setStyleSheet(dataStyle);
    txtURL = line("txtURL", "Web Site for Account", 255, 1080, 630, 3615, false);
    txtID = line("txtID", "User Account Name", 50, 1080, 1125, 3615, false);
    txtPW = line("txtPW", "Account Password", 50, 1080, 1605, 3615, true);
    txtHint = multi("txtHint", "General Info on Password", 1080, 2085, 705);
    txtKey1Label = caption("txtKey1Label", "Key 1:", "Custom Label: 1", 150);
    txtKey1 = line("txtKey1", "Text for Label: 1", 50, 6120, 150, 3615, true);
    txtKey2Label = caption("txtKey2Label", "Key 2:", "Custom Label: 2", 630);
    txtKey2 = line("txtKey2", "Text for Label: 2", 50, 6120, 630, 3615, true);
    txtKey3Label = caption("txtKey3Label", "Key 3:", "Custom Label: 3", 1110);
    txtKey3 = line("txtKey3", "Text for Label: 3", 50, 6120, 1110, 3615, true);
    txtKey4Label = caption("txtKey4Label", "Key 4:", "Custom Label: 4", 1590);
    txtKey4 = line("txtKey4", "Text for Label: 4", 50, 6120, 1590, 3615, true);
    txtINFO = multi("txtINFO", "Misc Info for Account", 6120, 2100, 675);

    const struct
    {
        QWidget* box;
        const char* field;
    } fields[] = { { txtAccount, "Account" }, { txtURL, "URL" }, { txtID, "IDtext" },
        { txtPW, "Password" }, { txtHint, "Hint" }, { txtKey1Label, "Key1_Name" },
        { txtKey1, "Key1" }, { txtKey2Label, "Key2_Name" }, { txtKey2, "Key2" },
        { txtKey3Label, "Key3_Name" }, { txtKey3, "Key3" }, { txtKey4Label, "Key4_Name" },
        { txtKey4, "Key4" }, { txtINFO, "Info" } };
    for (const auto& f : fields) {
        adoui::FieldBinding* b = nullptr;
        if (auto* e = qobject_cast<QLineEdit*>(f.box)) {
            b = new adoui::FieldBinding(e);
        } else {
            b = new adoui::FieldBinding(qobject_cast<QPlainTextEdit*>(f.box));
        }
        b->setDataField(QString::fromLatin1(f.field));
        b->setDataSource(Adodc1);
        m_bindings << b;
        // The plain multi-line boxes have no length limit of their own.
        if (f.box == txtHint) {
            b->setMaxLength(255);
        } else if (f.box == txtINFO) {
            b->setMaxLength(4096);
        }
    }
    setTabOrder(txtAccount, txtURL);
    setTabOrder(txtURL, txtID);
    setTabOrder(txtID, txtPW);
    setTabOrder(txtPW, txtHint);
    setTabOrder(txtHint, txtKey1Label);
    setTabOrder(txtKey1Label, txtKey1);
    setTabOrder(txtKey1, txtKey2Label);
    setTabOrder(txtKey2Label, txtKey2);
    setTabOrder(txtKey2, txtKey3Label);
    setTabOrder(txtKey3Label, txtKey3);
    setTabOrder(txtKey3, txtKey4Label);
    setTabOrder(txtKey4Label, txtKey4);
    setTabOrder(txtKey4, txtINFO);

    // The copy and reveal buttons sit under their images; the images are what the user sees.
    const struct
    {
        const char* button;
        const char* image;
        const char* tip;
        double left;
        double top;
    } handouts[]
        = { { "cmdAccount", "imgAccount", "", 4740, 255 }, { "cmdURL", "imgURL", "", 4740, 735 },
              { "cmdName", "imgName", "", 4740, 1230 }, { "cmdSP", "imgSP", "", 4740, 1710 },
              { "cmdHint", "imgHint", "", 4740, 2190 }, { "cmdKey1", "imgKey1", "", 9750, 255 },
              { "cmdKey2", "imgKey2", "", 9750, 735 }, { "cmdKey3", "imgKey3", "", 9750, 1215 },
              { "cmdKey4", "imgKey4", "", 9750, 1695 }, { "cmdInfo", "imgInfo", "", 9750, 2205 },
              { "cmdRP", "imgRP", "Random Password Generator", 4740, 1920 },
              { "cmdGoUrl", "imgGoUrl", "Browse Web Page", 4740, 945 } };
    for (const auto& h : handouts) {
        const QString tip = *h.tip != 0 ? QString::fromLatin1(h.tip) : kCopyTip;
        button(Frame2, h.button, QString(), tip, h.left, h.top, 360, 180)->hide();
        image(Frame2, h.image, tip, h.left, h.top, 360, 180);
    }
    button(Frame2, "cmdAdd", QStringLiteral("&Add New"),
        QStringLiteral("Adds a New Account Record"), 1080, 2760, 1215, 375)
        ->hide();
    button(Frame2, "cmdClear", QStringLiteral("&Delete"), QStringLiteral("Deletes Current Record"),
        2400, 2760, 1215, 375)
        ->hide();
    image(Frame2, "imgAddNew", QStringLiteral("Adds a New Account Record"), 1200, 2805, 480, 480);
    image(Frame2, "imgDelete", QStringLiteral("Deletes Current Record"), 2400, 2805, 480, 480);
    make<SkinImage>(Frame2, "imgKeyButton", 9735, 2760, 360, 360);
    make<SkinImage>(Frame2, "imgFrameBack1", 0, 0, 0, 0);
    connectEditor();
}

void frmMain::buildFilter()
{
    Frame3 = make<QGroupBox>(centralWidget(), "Frame3", 120, 6180, 10125, 1245);
    Frame3->setTitle(QStringLiteral(" DISPLAY FILTER "));
    Frame3->setStyleSheet(kFrameStyle);
    label(Frame3, "Label8", QStringLiteral("FILTER BY..."), 240, 300, 1215, 255);
    optField[0] = make<QRadioButton>(Frame3, "optField_0", 240, 570, 1095, 255);
    optField[0]->setText(QStringLiteral("Account"));
    optField[0]->setToolTip(QStringLiteral("Apply Filters to Account Field"));
    optField[0]->setChecked(true);
    optField[1] = make<QRadioButton>(Frame3, "optField_1", 240, 840, 1095, 255);
    optField[1]->setText(QStringLiteral("URL"));
    optField[1]->setToolTip(QStringLiteral("Apply Filters to URL Field"));
    label(Frame3, "Label9", QStringLiteral("Begins..."), 1680, 300, 855, 255);
    txtFilter = make<QLineEdit>(Frame3, "txtFilter", 1680, 600, 1455, 375);
    txtFilter->setMaxLength(6);
    cmdFilter = button(Frame3, "cmdFilter", QStringLiteral("Use"),
        QStringLiteral("Show Records Beginning With..."), 3240, 600, 480, 375);
    cmdFilter->hide();
    image(Frame3, "imgFilter1", QStringLiteral("Show Records Beginning With..."), 3240, 600, 480,
        360);
    label(Frame3, "Label10", QStringLiteral("Contains..."), 4080, 300, 1095, 255);
    txtFilter2 = make<QLineEdit>(Frame3, "txtFilter2", 4080, 600, 2775, 375);
    txtFilter2->setMaxLength(16);
    txtFilter2->setToolTip(QStringLiteral("Show Records that Include..."));
    cmdFilter2
        = button(Frame3, "cmdFilter2", QStringLiteral("Use"), QString(), 6960, 600, 480, 375);
    cmdFilter2->hide();
    image(Frame3, "imgFilter2", QStringLiteral("Show Records Containing..."), 6960, 600, 480, 360);
    cmdClearFilter = button(Frame3, "cmdClearFilter", QStringLiteral("C"),
        QStringLiteral("Clears Filters"), 7800, 300, 360, 720);
    cmdClearFilter->hide();
    image(Frame3, "imgClearFilter", QStringLiteral("Clears Filters"), 7800, 300, 360, 720);
    make<SkinImage>(Frame3, "Image6", 8400, 240, 1560, 900);
    connectGrid();
}

void frmMain::buildMenus()
{
    menuBar()->hide();
    auto menu = [this](const char* name, const QString& caption) {
        auto* m = new QMenu(caption, this);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setVisible(false);
        menuBar()->addMenu(m);
        return m;
    };
    auto item = [](QMenu* m, const char* name, const QString& caption, bool visible = true,
                    bool enabled = true) {
        QAction* a = caption == u"-" ? m->addSeparator() : m->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setVisible(visible);
        a->setEnabled(enabled);
        return a;
    };
    mnuListPopup = menu("mnuListPopup", QStringLiteral("popupdmc"));
    item(mnuListPopup, "mnuPopDelete", QStringLiteral("Delete"));
    item(mnuListPopup, "mnuPopURL", QStringLiteral("Browse URL"));
    mnuSysPopup = menu("mnuSysPopup", QStringLiteral("popSys"));
    item(mnuSysPopup, "mnuSysShow", QStringLiteral("Show"));
    item(mnuSysPopup, "mnuSysExit", QStringLiteral("Exit"), true, false);

    mnuFile = menu("mnuFile", QStringLiteral("1000"));
    item(mnuFile, "mnuFileOpen", QStringLiteral("1002"));
    item(mnuFile, "mnuOpenSpecial", QStringLiteral("1075"));
    item(mnuFile, "mnuNewDB", QStringLiteral("1074"));
    item(mnuFile, "mnuFileClose", QStringLiteral("1003"), true, false);
    item(mnuFile, "mnuFileBar0", QStringLiteral("-"));
    item(mnuFile, "mnuFileSave", QStringLiteral("1004"), false, false);
    item(mnuFile, "mnuFileSaveAs", QStringLiteral("1005"));
    item(mnuFile, "mnuFileBar1", QStringLiteral("-"), false);
    item(mnuFile, "mnuFileProperties", QStringLiteral("1006"), false, false);
    item(mnuFile, "mnuFileBar2", QStringLiteral("-"));
    item(mnuFile, "mnuFilePageSetup", QStringLiteral("1007"), false);
    item(mnuFile, "mnuFilePrintPreview", QStringLiteral("1008"), false);
    item(mnuFile, "mnuFilePrint", QStringLiteral("1009"), true, false);
    item(mnuFile, "mnuFileBar3", QStringLiteral("-"));
    item(mnuFile, "mnuFileExit", QStringLiteral("1010"));

    mnuEdit = menu("mnuEdit", QStringLiteral("1011"));
    item(mnuEdit, "mnuAddEntry", QStringLiteral("1071"), true, false);
    item(mnuEdit, "mnuDeleteEntry", QStringLiteral("1072"), true, false);
    item(mnuEdit, "mnuEditCut", QStringLiteral("1012"), false)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    item(mnuEdit, "mnuEditCopy", QStringLiteral("1013"), false)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    item(mnuEdit, "mnuEditPaste", QStringLiteral("1014"), false)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));

    mnuView = menu("mnuView", QStringLiteral("1015"));
    item(mnuView, "mnuViewToolbar", QStringLiteral("1016"))->setCheckable(true);
    findChild<QAction*>(QStringLiteral("mnuViewToolbar"))->setChecked(true);
    item(mnuView, "mnuViewStatusBar", QStringLiteral("1017"))->setCheckable(true);
    findChild<QAction*>(QStringLiteral("mnuViewStatusBar"))->setChecked(true);
    item(mnuView, "mnuViewBar0", QStringLiteral("-"));
    item(mnuView, "mnuViewOptions", QStringLiteral("1018"));

    mnuHelp = menu("mnuHelp", QStringLiteral("1019"));
    item(mnuHelp, "mnuHelpContents", QStringLiteral("1020"));
    item(mnuHelp, "mnuHelpSearchForHelpOn", QStringLiteral("1021"), false);
    item(mnuHelp, "mnuHelpBar0", QStringLiteral("-"));
    item(mnuHelp, "mnuHelpAbout", QStringLiteral("1022"));

    connectMenuCommands();
}

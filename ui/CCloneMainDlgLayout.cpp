// The main window's menus and controls, in the arrangement the window has always had: the
// identity group across the top, the channel list on the left, model, USB status and radio
// features on the right, status and port selection along the bottom.
#include "ui/CCloneMainDlg.h"

#include "link/PortNames.h"
#include "model/IdentityRules.h"
#include "ui/CaptionGroupBox.h"
#include "ui/ChannelListPanel.h"
#include "ui/CloneCommandController.h"
#include "ui/ElidedLabel.h"
#include "ui/LayoutParts.h"
#include "model/DocumentFields.h"
#include "ui/PrintableTextGuard.h"
#include "ui/ResourceIds.h"
#include "ui/UpDownArrows.h"
#include "ui/WidgetIds.h"

#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeySequence>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <array>
#include <string>

namespace orven::ui {

namespace {

constexpr int kIdentityEditWidth = 90;
// Room for the warnings beside the identity fields, wrapped; the tooltip holds any more.
constexpr int kWarningLines = 2;
constexpr QRgb kWarningColour = qRgb(0xA0, 0x40, 0x00);
// The status line is never narrower than a write's result line naming its backup entry, so that
// the entry's name shows whole: its folder is the radio's serial number (or "no-serial").
constexpr const char* kWidestStatusLine = "Backup: 000000000/0000-00-00_000000_backup";

// The least width at which a wrapping label's text takes no more than `lines` lines.
int NarrowestWidthFor(const QLabel* label, int lines) {
    const QFontMetrics metrics = label->fontMetrics();
    const int tallest = metrics.lineSpacing() * lines;
    int narrow = 1;
    int wide = metrics.horizontalAdvance(label->text()) + 2 * metrics.averageCharWidth();  // one line
    while (narrow < wide) {
        const int middle = (narrow + wide) / 2;
        if (label->heightForWidth(middle) <= tallest) wide = middle;
        else narrow = middle + 1;
    }
    return narrow;
}

// A hint beside an identity field, wrapped onto at most `lines` lines. It is never narrower than
// that needs and always as high as those lines, so its height does not follow its width and the
// window's minimum size is what the layout asks for.
QLabel* Hint(const char* text, int lines, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setWordWrap(true);
    const int width = NarrowestWidthFor(label, lines);
    label->setMinimumSize(width, label->heightForWidth(width));
    QSizePolicy policy = label->sizePolicy();
    policy.setHeightForWidth(false);
    label->setSizePolicy(policy);
    return label;
}

QAction* AddCommand(QMenu* menu, const char* text, int id) {
    return WithId(menu->addAction(QString::fromLatin1(text)), id);
}

// A control that shows no text of its own is named by its label, for screen readers.
template <class Control>
Control* Named(Control* control, const QString& name) {
    control->setAccessibleName(name);
    return control;
}

// A label for a control: the control takes its text (without the colon) as its name.
QLabel* LabelFor(const QString& text, QWidget* control, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    QString name = text;
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    control->setAccessibleName(name);
    return label;
}

// Every port as the port combo may name it, an absent one with its mark.
QStringList EveryPortName() {
    QStringList names{QStringLiteral("USB")};
    for (int n = 1; n <= kComPortCount; ++n)
        names << QString::fromStdString(ComPortName(n)) + QLatin1String(kAbsentPortMark);
    return names;
}

}  // namespace

void CCloneMainDlg::AddStateChoice(QMenu* menu, const char* text, int id, std::uint32_t AppState::*word,
                                   bool onWhenZero) {
    QAction* action = AddCommand(menu, text, id);
    action->setCheckable(true);
    action->setChecked((state_.*word != 0) != onWhenZero);
    connect(action, &QAction::toggled, this, [this, word, onWhenZero](bool on) {
        state_.*word = on != onWhenZero ? 1 : 0;
        RefreshTitle();
    });
}

void CCloneMainDlg::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(AddCommand(file, "&Load Default", ids::menu::kLoadDefault), &QAction::triggered, this,
            &CCloneMainDlg::OnLoadDefault);
    QAction* open = AddCommand(file, "&Open", ids::menu::kOpen);
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &CCloneMainDlg::OnOpen);
    saveAction_ = AddCommand(file, "&Save", ids::menu::kSave);
    saveAction_->setShortcut(QKeySequence::Save);
    connect(saveAction_, &QAction::triggered, this, &CCloneMainDlg::OnSave);
    QAction* saveAs = AddCommand(file, "Save &as", ids::menu::kSaveAs);
    saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(saveAs, &QAction::triggered, this, &CCloneMainDlg::OnSaveAs);
    file->addSeparator();
    connect(AddCommand(file, "&Import Channels...", ids::menu::kImportChannels), &QAction::triggered, this,
            &CCloneMainDlg::OnImportChannels);
    connect(AddCommand(file, "&Export Channels...", ids::menu::kExportChannels), &QAction::triggered, this,
            &CCloneMainDlg::OnExportChannels);
    file->addSeparator();
    connect(AddCommand(file, "&Radio Archive...", ids::menu::kRadioArchive), &QAction::triggered, this,
            &CCloneMainDlg::OnRadioArchive);
    file->addSeparator();
    // Exit goes through the same close request as the window's close button.
    QAction* exit = AddCommand(file, "E&xit", ids::menu::kExit);
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* clone = menuBar()->addMenu(QStringLiteral("&Clone"));
    writeAction_ = AddCommand(clone, kWriteText, ids::menu::kWriteToRadio);
    readAction_ = AddCommand(clone, kReadText, ids::menu::kReadFromRadio);
    readAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    verifyAction_ = AddCommand(clone, kVerifyText, ids::menu::kVerify);
    handShakeAction_ = AddCommand(clone, kHandShakeText, ids::menu::kHandShake);
    writeRemovingAction_ = AddCommand(clone, "Write and Remove &Identities...", ids::menu::kWriteRemovingIdentities);
    clone->addSeparator();
    AddStateChoice(clone, "&Fast Transfer", ids::menu::kFastTransfer, &AppState::fastTransfer);
    AddStateChoice(clone, "Verify &after write", ids::menu::kVerifyAfterWrite, &AppState::verifyAfterWrite);
    AddStateChoice(clone, "&Back up before write", ids::menu::kBackupBeforeWrite, &AppState::noBackupBeforeWrite, true);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    connect(AddCommand(tools, "&Export Freq Table", ids::menu::kExportFreqTable),
            &QAction::triggered, this, &CCloneMainDlg::OnExportFreqTable);
    connect(AddCommand(tools, "View Check&Sum", ids::menu::kViewCheckSum), &QAction::triggered,
            this, &CCloneMainDlg::OnViewCheckSum);
    connect(AddCommand(tools, "&Feature Setup...", ids::menu::kFeatureSetup), &QAction::triggered,
            this, &CCloneMainDlg::OnFeatureSetup);
    tools->addSeparator();
    connect(AddCommand(tools, "&Check Connection...", ids::menu::kCheckConnection), &QAction::triggered, this,
            &CCloneMainDlg::OnCheckConnection);
    connect(AddCommand(tools, "Fleet &Programming...", ids::menu::kFleetProgramming), &QAction::triggered, this,
            &CCloneMainDlg::OnFleetProgramming);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(AddCommand(help, "&About", ids::menu::kAbout), &QAction::triggered, this,
            &CCloneMainDlg::OnAbout);
}

void CCloneMainDlg::BuildWidgets() {
    auto* central = WithId(new QWidget(this), ids::kMainDialog);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(kGroupSpacing);
    column->addWidget(BuildIdentityGroup());

    auto* middle = new QHBoxLayout;
    channels_ = new ChannelListPanel(state_, settings_, this);
    middle->addWidget(channels_, 3);
    middle->addWidget(BuildRightColumn(), 2);
    column->addLayout(middle, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BuildStatusGroup(), 1);
    bottom->addWidget(BuildPortGroup(), 1);
    column->addLayout(bottom);

    setCentralWidget(central);
}

QWidget* CCloneMainDlg::BuildIdentityGroup() {
    identityGroup_ = WithId(new CaptionGroupBox(this), ids::main::kIdentityGroup);
    auto* grid = Tight(new QGridLayout(identityGroup_));

    // In the caption line, so that options coming and going move nothing.
    optionLine_ = Named(WithId(new QLabel(identityGroup_), ids::main::kOptionLine), QStringLiteral("Options"));
    identityGroup_->SetCaptionNote(optionLine_);

    mmsiByUser_ = WithId(new QCheckBox(QStringLiteral("MMSI entry by user"), identityGroup_),
                         ids::main::kMmsiByUser);
    mmsiEdit_ = Named(WithId(new QLineEdit(identityGroup_), ids::main::kMmsiEdit), QStringLiteral("MMSI"));
    grid->addWidget(mmsiByUser_, 0, 0);
    grid->addWidget(mmsiEdit_, 0, 1);
    grid->addWidget(Hint("Please enter the 9 digital MMSI number.", 1, identityGroup_), 0, 3);
    mmsiDecoded_ = Named(WithId(new ElidedLabel(1, identityGroup_), ids::main::kMmsiDecoded),
                         QStringLiteral("What the MMSI is"));
    grid->addWidget(mmsiDecoded_, 1, 1, 1, 3);

    atisByUser_ = WithId(new QCheckBox(QStringLiteral("ATIS entry by user"), identityGroup_),
                         ids::main::kAtisByUser);
    atisEdit_ = Named(WithId(new QLineEdit(identityGroup_), ids::main::kAtisEdit), QStringLiteral("ATIS"));
    atisEdit_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*")), atisEdit_));
    grid->addWidget(atisByUser_, 2, 0);
    grid->addWidget(atisEdit_, 2, 1);
    grid->addWidget(Hint("Please enter the last 9 numbers of the 10 digit ATIS ID.The initial "
                         "\"9\" is entered automatically.",
                         2, identityGroup_),
                    2, 3);
    atisDecoded_ = Named(WithId(new ElidedLabel(1, identityGroup_), ids::main::kAtisDecoded),
                         QStringLiteral("What the ATIS is"));
    grid->addWidget(atisDecoded_, 3, 1, 1, 3);
    identityWarnings_ = Named(WithId(new ElidedLabel(kWarningLines, identityGroup_, LongText::Wrap),
                                     ids::main::kIdentityWarnings),
                              QStringLiteral("Identity warnings"));
    QPalette warning = identityWarnings_->palette();
    warning.setColor(QPalette::WindowText, QColor::fromRgb(kWarningColour));
    identityWarnings_->setPalette(warning);
    grid->addWidget(identityWarnings_, 4, 0, 1, 4);

    nmeaEdit_ = WithId(new QLineEdit(identityGroup_), ids::main::kNmeaEdit);
    nmeaArrows_ = WithId(new UpDownArrows(nmeaEdit_, static_cast<int>(kNmeaTextLength), QStringLiteral("NMEA2000"),
                                          identityGroup_),
                         ids::main::kNmeaSpin);
    grid->addWidget(LabelFor(QStringLiteral("NMEA2000"), nmeaEdit_, identityGroup_), 5, 0);
    grid->addWidget(nmeaEdit_, 5, 1);
    grid->addWidget(nmeaArrows_, 5, 2);
    grid->addWidget(Hint("Please enter the 6 digital NMEA NO.", 1, identityGroup_), 5, 3);

    serialEdit_ = WithId(new QLineEdit(identityGroup_), ids::main::kSerialEdit);
    serialArrows_ = WithId(new UpDownArrows(serialEdit_, static_cast<int>(kSerialTextLimit),
                                            QStringLiteral("Serial Number"), identityGroup_),
                           ids::main::kSerialSpin);
    grid->addWidget(LabelFor(QStringLiteral("Serial Number"), serialEdit_, identityGroup_), 6, 0);
    grid->addWidget(serialEdit_, 6, 1);
    grid->addWidget(serialArrows_, 6, 2);
    grid->addWidget(Hint("Please enter the 8 digital serial NO.", 1, identityGroup_), 6, 3);

    for (QLineEdit* edit : {mmsiEdit_, atisEdit_, nmeaEdit_, serialEdit_}) {
        edit->setFixedWidth(kIdentityEditWidth);
        // A blank field, or one whose "entry by user" is ticked, leaves the radio's own.
        edit->setPlaceholderText(QString::fromLatin1(kKeptByRadioText));
        edit->setToolTip(QString::fromLatin1(kKeptByRadioTip));
    }
    new PrintableTextGuard(nmeaEdit_, QString::fromLatin1(kNmeaFieldName));
    new PrintableTextGuard(serialEdit_, QString::fromLatin1(kSerialFieldName));
    grid->setColumnStretch(3, 1);
    return identityGroup_;
}

QWidget* CCloneMainDlg::BuildRightColumn() {
    auto* right = new QWidget(this);
    auto* column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(kGroupSpacing);

    auto* model = new QGroupBox(QStringLiteral("Model"), right);
    auto* modelRow = Tight(new QHBoxLayout(model));
    modelUsa_ = WithId(new QRadioButton(QStringLiteral("USA"), model), ids::main::kModelUsa);
    modelEurope_ =
        WithId(new QRadioButton(QStringLiteral("Europe"), model), ids::main::kModelEurope);
    modelRow->addWidget(modelUsa_);
    modelRow->addWidget(modelEurope_);
    column->addWidget(model);

    auto* usb = new QGroupBox(QStringLiteral("USB Port Status"), right);
    auto* usbRow = Tight(new QHBoxLayout(usb));
    usbStatus_ = Named(WithId(new QLabel(QString::fromLatin1(kUsbAbsent), usb), ids::main::kUsbStatus),
                       QStringLiteral("USB Port Status"));
    usbRow->addWidget(usbStatus_);
    column->addWidget(usb);

    auto* feature = new QGroupBox(QStringLiteral("Radio Feature"), right);
    auto* grid = Tight(new QGridLayout(feature));
    struct BoxSpec {
        ChannelBand band;
        int id;
        const char* text;
    };
    static constexpr BoxSpec kBoxes[kBandCount] = {
        {ChannelBand::USA, ids::main::kBandUsa, "USA"},
        {ChannelBand::INT, ids::main::kBandInt, "INT"},
        {ChannelBand::CAN, ids::main::kBandCan, "CAN"},
        {ChannelBand::Private, ids::main::kBandPrivate, "Private"},
        {ChannelBand::USA_Narrow, ids::main::kBandUsaNarrow, "USA_narrow"},
        {ChannelBand::INT_Narrow, ids::main::kBandIntNarrow, "INT_narrow"},
        {ChannelBand::CAN_Narrow, ids::main::kBandCanNarrow, "CAN_narrow"},
        {ChannelBand::WX, ids::main::kWxChannels, "WX Channels"},
    };
    for (int i = 0; i < kBandCount; ++i) {
        auto* box = WithId(new QCheckBox(QString::fromLatin1(kBoxes[i].text), feature), kBoxes[i].id);
        bandBoxes_[static_cast<int>(kBoxes[i].band)] = box;
        grid->addWidget(box, i / 2, i % 2);
    }
    txStepCombo_ = DropDown(ids::main::kTxStepCombo, feature);
    rxStepCombo_ = DropDown(ids::main::kRxStepCombo, feature);
    rxMidCombo_ = DropDown(ids::main::kRxMidCombo, feature);
    const int firstComboRow = kBandCount / 2;
    grid->addWidget(LabelFor(QStringLiteral("TX PLL STEP:"), txStepCombo_, feature), firstComboRow, 0);
    grid->addWidget(txStepCombo_, firstComboRow, 1);
    grid->addWidget(LabelFor(QStringLiteral("RX PLL STEP:"), rxStepCombo_, feature), firstComboRow + 1, 0);
    grid->addWidget(rxStepCombo_, firstComboRow + 1, 1);
    grid->addWidget(LabelFor(QStringLiteral("RX Mid Freq:"), rxMidCombo_, feature), firstComboRow + 2, 0);
    grid->addWidget(rxMidCombo_, firstComboRow + 2, 1);
    column->addWidget(feature);
    column->addStretch(1);
    return right;
}

QWidget* CCloneMainDlg::BuildStatusGroup() {
    auto* group = new QGroupBox(QStringLiteral("Status"), this);
    auto* column = Tight(new QVBoxLayout(group));
    // Cut in the middle, so that an archive entry's name keeps both its radio and its time.
    statusText_ = Named(WithId(new ElidedLabel(2, group, LongText::CutInMiddle), ids::main::kStatusText),
                        QStringLiteral("Status"));
    statusText_->setMinimumWidth(statusText_->fontMetrics().horizontalAdvance(QLatin1String(kWidestStatusLine)));
    statusText_->setText(QString::fromLatin1(kReadyAtStart));
    progress_ = Named(WithId(new QProgressBar(group), ids::main::kProgressBar), QStringLiteral("Progress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    column->addWidget(statusText_);
    column->addWidget(progress_);
    return group;
}

QWidget* CCloneMainDlg::BuildPortGroup() {
    auto* group = new QGroupBox(QStringLiteral("Comm Port"), this);
    auto* grid = Tight(new QGridLayout(group));
    portCombo_ = Named(SteadyDropDown(ids::main::kPortCombo, EveryPortName(), group), QStringLiteral("Comm Port"));
    baudCombo_ = Named(DropDown(ids::main::kBaudCombo, group), QStringLiteral("Baud rate"));
    baudCombo_->setAccessibleDescription(baudCombo_->accessibleName());
    scanButton_ =
        WithId(new QPushButton(QStringLiteral("Scan COMx"), group), ids::main::kScanButton);
    writeButton_ =
        WithId(new QPushButton(QStringLiteral("Write to Radio"), group), ids::main::kWriteButton);
    readButton_ =
        WithId(new QPushButton(QStringLiteral("Read From Radio"), group), ids::main::kReadButton);
    writeButton_->setDefault(true);
    scanButton_->setAutoDefault(false);
    readButton_->setAutoDefault(false);
    grid->addWidget(portCombo_, 0, 0);
    grid->addWidget(baudCombo_, 0, 1);
    grid->addWidget(scanButton_, 0, 2);
    grid->addWidget(writeButton_, 1, 0, 1, 2);
    grid->addWidget(readButton_, 1, 2);
    return group;
}

void CCloneMainDlg::ConnectControls() {
    for (QCheckBox* byUser : {mmsiByUser_, atisByUser_}) {
        connect(byUser, &QCheckBox::clicked, this, [this] {
            MarkModified();
            UpdateEntryByUserFields();
        });
        connect(byUser, &QCheckBox::toggled, this, &CCloneMainDlg::UpdateEntryByUserFields);
    }
    mmsiEdit_->installEventFilter(this);
    atisEdit_->installEventFilter(this);
    // Every edit of the document marks it modified at once, so nothing typed is lost unasked.
    for (QLineEdit* edit : {mmsiEdit_, atisEdit_, nmeaEdit_, serialEdit_})
        connect(edit, &QLineEdit::textEdited, this, &CCloneMainDlg::MarkModified);
    for (QLineEdit* edit : {mmsiEdit_, atisEdit_})
        connect(edit, &QLineEdit::textChanged, this, &CCloneMainDlg::RefreshIdentityNotes);
    for (QAbstractButton* box : std::initializer_list<QAbstractButton*>{mmsiByUser_, atisByUser_, modelEurope_})
        connect(box, &QAbstractButton::toggled, this, &CCloneMainDlg::RefreshIdentityNotes);
    for (UpDownArrows* arrows : {nmeaArrows_, serialArrows_})
        connect(arrows, &UpDownArrows::Stepped, this, &CCloneMainDlg::MarkModified);

    connect(channels_, &ChannelListPanel::Modified, this, &CCloneMainDlg::MarkModified);
    connect(modelUsa_, &QRadioButton::clicked, this, &CCloneMainDlg::OnModelClicked);
    connect(modelEurope_, &QRadioButton::clicked, this, &CCloneMainDlg::OnModelClicked);
    for (QCheckBox* box : bandBoxes_) connect(box, &QCheckBox::clicked, this, &CCloneMainDlg::OnBandBoxClicked);

    for (QComboBox* step : {txStepCombo_, rxStepCombo_})
        connect(step, &QComboBox::currentIndexChanged, this, &CCloneMainDlg::MarkModified);
    connect(rxMidCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        settings_.rxMidIndex = index;
        MarkModified();
    });

    connect(portCombo_, &QComboBox::currentIndexChanged, this, [this](int index) { state_.comPort = index; });
    connect(baudCombo_, &QComboBox::currentIndexChanged, this, [this](int index) { state_.baudIndex = index; });
    connect(scanButton_, &QPushButton::clicked, this, &CCloneMainDlg::ScanAndSelectPorts);
    clone_ = new CloneCommandController(*this, {writeAction_, readAction_, verifyAction_, handShakeAction_,
                                                writeRemovingAction_, writeButton_, readButton_, progress_});
}

}  // namespace orven::ui

#include "WSIInvCsvImportDialog.h"

#include "BoundedFormat.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIListWindow.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>

namespace {

using tavel::csv::ImportOptions;
using tavel::csv::ImportReport;
using tavel::csv::ListKind;

QString AskForFile(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, QString(), folder,
                                        QStringLiteral("CSV (*.csv);;All files (*)"));
}

WSIInvCsvImportDialog::OpenChooser& Chooser() {
    static WSIInvCsvImportDialog::OpenChooser chooser = AskForFile;
    return chooser;
}

struct KindChoice {
    ListKind kind;
    const char* label;
};
const KindChoice kKindChoices[] = {
    {ListKind::Products, "Products"},   {ListKind::Vendors, "Vendors"},
    {ListKind::Locations, "Locations"}, {ListKind::ProductLocations, "Products at locations"},
    {ListKind::Counts, "Counts"},
};

} // namespace

WSIInvCsvImportDialog::WSIInvCsvImportDialog(QWidget* parent, WSIApplication* module)
    : WSIDialog(parent, module, kTemplate) {
    TVL_TRACE("WSIInvCsvImportDialog::WSIInvCsvImportDialog");
    setObjectName("csvImport");
    const QString title = LoadString(kMsgTitle);
    setWindowTitle(title.isEmpty() ? tr("Import from a CSV file") : title);
    new QVBoxLayout(this);
    BuildHeader();
    BuildReport();
    ShowColumns();
    resize(980, 560);
    kind_->setFocus();
}

WSIInvCsvImportDialog::~WSIInvCsvImportDialog() = default;

void WSIInvCsvImportDialog::SetOpenChooser(OpenChooser chooser) {
    Chooser() = chooser ? std::move(chooser) : OpenChooser(AskForFile);
}

void WSIInvCsvImportDialog::BuildHeader() {
    auto* form = new QFormLayout;
    kind_ = new QComboBox(this);
    kind_->setObjectName("kind");
    for (const KindChoice& k : kKindChoices)
        kind_->addItem(tr(k.label), static_cast<int>(k.kind));
    // A choice of five words: it keeps its size when the screen grows.
    kind_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    form->addRow(tr("&List:"), kind_);
    // The first line the file must have, so that a spreadsheet can be prepared to match.
    columns_ = new QLabel(this);
    columns_->setObjectName("columns");
    columns_->setWordWrap(true);
    columns_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(tr("First line:"), columns_);

    auto* fileRow = new QHBoxLayout;
    file_ = new QLineEdit(this);
    file_->setObjectName("file");
    file_->setMinimumWidth(420);
    QPushButton* browse = AddCommandButton(IdBrowse, tr("&Browse..."));
    browse->setObjectName("browse");
    browse->setAutoDefault(false);
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse);
    auto* fileLabel = new QLabel(tr("&File:"), this);
    fileLabel->setBuddy(file_);
    form->addRow(fileLabel, fileRow);

    dryRun_ = new QCheckBox(tr("&Check only, write nothing"), this);
    dryRun_->setObjectName("dryRun");
    skipBad_ = new QCheckBox(tr("&Skip bad rows and import the others"), this);
    skipBad_->setObjectName("skipBad");
    auto* options = new QHBoxLayout;
    options->addWidget(dryRun_);
    options->addSpacing(16);
    options->addWidget(skipBad_);
    options->addStretch(1);
    form->addRow(QString(), options);
    static_cast<QVBoxLayout*>(layout())->addLayout(form);

    SetCommand(IdBrowse, [this] { CmBrowse(); });
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] { ShowColumns(); });
}

void WSIInvCsvImportDialog::BuildReport() {
    auto* body = static_cast<QVBoxLayout*>(layout());
    report_ = new WSIListWindow(this);
    report_->setObjectName("report");
    report_->AddColumn(tr("Line"), 60, Qt::AlignRight | Qt::AlignVCenter);
    report_->AddColumn(tr("Column"), 130);
    report_->AddColumn(tr("Problem"), 740);
    // The messages take whatever width the screen has.
    report_->horizontalHeader()->setStretchLastSection(true);
    body->addWidget(report_, 1);
    summary_ = new QLabel(this);
    summary_->setObjectName("summary");
    QFont bigger = summary_->font();
    bigger.setBold(true);
    summary_->setFont(bigger);
    body->addWidget(summary_);

    auto* buttons = new QHBoxLayout;
    QPushButton* import = AddCommandButton(IdImport, tr("&Import"));
    import->setObjectName("import");
    import->setDefault(true);
    QPushButton* close = AddCommandButton(cm::Cancel, tr("Close"));
    close->setObjectName("close");
    close->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(import);
    buttons->addWidget(close);
    body->addLayout(buttons);
    SetCommand(IdImport, [this] { CmImport(); });
    // Enter imports, as the default button does; it never closes the screen unasked.
    SetCommand(cm::Ok, [this] { DoCommand(IdImport); });
    setTabOrder(kind_, file_);
    setTabOrder(file_, ControlWidget(IdBrowse));
    setTabOrder(ControlWidget(IdBrowse), dryRun_);
    setTabOrder(dryRun_, skipBad_);
    setTabOrder(skipBad_, report_);
    setTabOrder(report_, import);
    setTabOrder(import, close);
}

ListKind WSIInvCsvImportDialog::Kind() const {
    return static_cast<ListKind>(kind_->currentData().toInt());
}

void WSIInvCsvImportDialog::SetKind(ListKind kind) {
    kind_->setCurrentIndex(kind_->findData(static_cast<int>(kind)));
}

QString WSIInvCsvImportDialog::Summary() const {
    return summary_->text();
}

void WSIInvCsvImportDialog::ShowColumns() {
    QStringList names;
    for (const std::string& c : tavel::csv::ListColumns(Kind()))
        names << QString::fromStdString(c);
    columns_->setText(names.join(QLatin1Char(',')));
}

template <class... A> QString WSIInvCsvImportDialog::Filled(unsigned code, A... args) const {
    const QByteArray format = LoadString(code).toUtf8();
    char text[1024];
    TVL_FORMAT(text, format.constData(), args...);
    return QString::fromUtf8(text);
}

void WSIInvCsvImportDialog::CmBrowse() {
    TVL_TRACE("WSIInvCsvImportDialog::CmBrowse");
    const QString typed = file_->text().trimmed();
    const QString folder = typed.isEmpty() ? QDir::homePath() : QFileInfo(typed).absolutePath();
    const QString chosen = Chooser()(this, folder);
    if (!chosen.isEmpty())
        file_->setText(QDir::toNativeSeparators(chosen));
    file_->setFocus();
}

bool WSIInvCsvImportDialog::Run(const QString& path, const ImportOptions& options,
                                ImportReport& report) {
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    if (!in) {
        const QByteArray name = path.toUtf8();
        MessageBox(Filled(kMsgCannotOpen, name.constData()), mb::OK | mb::ICONEXCLAMATION);
        file_->setFocus();
        return false;
    }
    WSIWaitCursor wait;
    report = tavel::csv::ImportList(*Db(), Kind(), in, options);
    return true;
}

void WSIInvCsvImportDialog::ShowReport(const ImportReport& report, const ImportOptions& options) {
    std::vector<WSIListRow> rows;
    rows.reserve(report.problems.size());
    for (const tavel::csv::ImportProblem& p : report.problems) {
        WSIListRow row;
        // Line 0 is the file as a whole (no count code, for instance).
        row.cells = {p.line > 0 ? QString::number(p.line) : QString(),
                     QString::fromStdString(p.column), QString::fromStdString(p.message)};
        rows.push_back(std::move(row));
    }
    report_->Model()->SetRows(std::move(rows));
    summary_->setText(QString::fromStdString(tavel::csv::ReportSummary(report, options)));
}

void WSIInvCsvImportDialog::CmImport() {
    TVL_TRACE("WSIInvCsvImportDialog::CmImport");
    if (!Db())
        return;
    const QString path = file_->text().trimmed();
    if (path.isEmpty()) {
        MessageBox(kMsgNoFile, mb::OK | mb::ICONINFORMATION);
        file_->setFocus();
        return;
    }
    // Always a check first: nothing is written before the user has seen what would be.
    ImportOptions options;
    options.dryRun = true;
    options.skipBad = skipBad_->isChecked();
    ImportReport check;
    if (!Run(path, options, check))
        return;
    // Said as a check while the question is open; as refused when nothing could be written.
    ShowReport(check, ImportOptions{dryRun_->isChecked() || check.writable, options.skipBad});
    if (dryRun_->isChecked() || !check.writable)
        return;

    const QByteArray name = QFileInfo(path).fileName().toUtf8();
    const long bad = static_cast<long>(check.problems.size());
    const QString question =
        bad == 0 ? Filled(kMsgConfirmAll, check.good, name.constData())
                 : Filled(kMsgConfirmSkipping, check.good, check.rows, name.constData(), bad);
    if (MessageBox(question, mb::YESNO | mb::ICONQUESTION) != id::YES) {
        summary_->setText(LoadString(kMsgCancelled));
        return;
    }
    options.dryRun = false;
    ImportReport done;
    if (Run(path, options, done))
        ShowReport(done, options);
}

// The private channels from and to a spreadsheet: File > Import Channels and Export Channels.
// The CSV codec checks every row by the channel rules; the window only asks and shows.
#include "ui/CCloneMainDlg.h"

#include "files/AtomicFile.h"
#include "files/ChannelCsv.h"
#include "files/Paths.h"
#include "ui/ChannelListPanel.h"
#include "ui/UserPrompts.h"

#include <QStringList>

#include <string>

namespace orven::ui {

namespace {

const QString kImportTitle = QString::fromLatin1(kCsvImportTitle);

std::string LocalPath(const QString& path) { return path.toLocal8Bit().toStdString(); }

// Every problem, one a line: "line 4, column 2 (TX MHz): ...".
QString ProblemLines(const CsvImportResult& result) {
    QStringList lines;
    for (const CsvProblem& p : result.problems) lines << QString::fromStdString(CsvProblemText(p, result.columnNames));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

void CCloneMainDlg::OnImportChannels() {
    const QString path = Prompts().OpenFileName(this, kImportTitle + QStringLiteral(": private channels from a spreadsheet"),
                                                QString::fromStdString(JoinPath(workDir_, "*.csv")), FileKind::Spreadsheet);
    if (path.isEmpty()) return;
    std::string text, why;
    if (!ReadChannelCsvFile(LocalPath(path), text, why)) {
        Prompts().Message(this, kImportTitle, path + QStringLiteral(": ") + QString::fromStdString(why) + '.',
                          PromptIcon::Error);
        return;
    }
    int choice = -1;
    {
        const AwaitingAnswer awaiting(*this, QStringLiteral("replace or append the channels?"));
        choice = Prompts().AskChoice(this, kImportTitle, QString::fromStdString(CsvImportQuestion(LocalPath(path))),
                                     {QString::fromLatin1(kCsvReplaceChoice), QString::fromLatin1(kCsvAppendChoice)});
    }
    if (choice < 0) return;
    const CsvImportMode mode = choice == 0 ? CsvImportMode::Replace : CsvImportMode::Append;
    CsvImportResult result = ImportChannelsCsv(text, mode, settings_);
    // A header without rows would empty the list: a wrong or cut-off file must not do that unasked.
    if (result.noRows && mode == CsvImportMode::Append) {
        Prompts().Message(this, kImportTitle, QString::fromStdString(CsvNothingAppendedText(LocalPath(path))),
                          PromptIcon::Information);
        return;
    }
    if (result.noRows) {
        const AwaitingAnswer awaiting(*this, QStringLiteral("remove every private channel?"));
        if (!Prompts().AskYesNo(this, kImportTitle, QString::fromStdString(CsvEmptyListQuestion(LocalPath(path))))) return;
        result = ImportChannelsCsv(text, mode, settings_, true);
    }
    if (!result.problems.empty()) {
        Prompts().MessageWithDetails(this, kImportTitle,
                                     QStringLiteral("%1 holds %2 problem(s), listed below; the document was not "
                                                    "changed.")
                                         .arg(path)
                                         .arg(result.problems.size()),
                                     ProblemLines(result), PromptIcon::Error);
        return;
    }
    MarkModified();
    channels_->FillChannelList();
    ShowStatus(QString::fromStdString(CsvImportedText(result.channels)));
}

void CCloneMainDlg::OnExportChannels() {
    const QString path = Prompts().SaveFileName(this, QStringLiteral("Export Channels: the private channels as a spreadsheet"),
                                                QString::fromStdString(JoinPath(workDir_, "*.csv")), FileKind::Spreadsheet);
    if (path.isEmpty() || !MaySaveTo(LocalPath(path))) return;
    if (!WriteFileAtomically(LocalPath(path), std::string_view(ChannelsToCsv(settings_)))) {
        Prompts().Message(this, QStringLiteral("Error"), QStringLiteral("Can't Create file:\n") + path,
                          PromptIcon::Error);
        return;
    }
    ShowStatus(QString::fromLatin1(kCsvExportOkText));
}

}  // namespace orven::ui

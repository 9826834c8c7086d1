#include "historytransfer.h"

#include "helptexts.h"
#include "historytexts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>
#include <utility>

namespace {

// A count as the box writes it: its thousands apart by a space, "1 380".
QString grouped(qint64 count)
{
    QString digits = QString::number(count);
    for (qsizetype i = digits.size() - 3; i > 0 && digits.at(i - 1).isDigit(); i -= 3)
        digits.insert(i, QLatin1Char(' '));
    return digits;
}

// The time an import runs before its progress dialog shows: most end within it.
constexpr int quietMs = 400;

} // namespace

QString importedText(qint64 added, qint64 present)
{
    // French takes the singular for 0 and 1.
    return historytexts::imported.arg(
        (added > 1 ? historytexts::addedMany : historytexts::addedOne).arg(grouped(added)),
        (present > 1 ? historytexts::presentMany : historytexts::presentOne).arg(grouped(present)));
}

HistoryTransfer::HistoryTransfer(QWidget &window, Host host, QObject *parent)
    : QObject(parent), m_window(window), m_host(std::move(host))
{}

void HistoryTransfer::addActions(QMenu *menu)
{
    m_exporter = menu->addAction(historytexts::exporter);
    m_exporter->setObjectName(QStringLiteral("Exporter"));
    connect(m_exporter, &QAction::triggered, this, &HistoryTransfer::exporter);
    m_importer = menu->addAction(historytexts::importer);
    m_importer->setObjectName(QStringLiteral("Importer"));
    connect(m_importer, &QAction::triggered, this, &HistoryTransfer::importer);
}

void HistoryTransfer::setEnabled(bool enabled)
{
    m_exporter->setEnabled(enabled);
    m_importer->setEnabled(enabled);
}

void HistoryTransfer::exporter()
{
    if (History *history = m_host.history()) {
        const QString file = choose(true);
        if (!file.isEmpty()) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const transfer::Result result = history->exportTo(file);
            QApplication::restoreOverrideCursor();
            if (!result.done())
                warn(result.reason);
        }
    }
    m_host.done();
}

void HistoryTransfer::importer()
{
    if (History *history = m_host.history()) {
        const QString file = choose(false);
        if (!file.isEmpty()) {
            const transfer::Result result =
                importInWorker(QFileInfo(history->path()).absolutePath(), file);
            if (result.done()) {
                QMessageBox box(QMessageBox::Information, helptexts::defaultTitle,
                                importedText(result.counts.added, result.counts.present),
                                QMessageBox::Ok, &m_window);
                box.setTextFormat(Qt::PlainText);
                box.exec();
            } else if (result.outcome != transfer::Outcome::Cancelled) {
                warn(result.reason);
            }
        }
    }
    m_host.done();
}

QString HistoryTransfer::choose(bool saving)
{
    QFileDialog dialog(&m_window, saving ? historytexts::exportTitle : historytexts::importTitle);
    dialog.setObjectName(saving ? QStringLiteral("DialogueExporter")
                                : QStringLiteral("DialogueImporter"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({historytexts::historyFiles, historytexts::allFiles});
    dialog.setDirectory(!m_lastFolder.isEmpty() && QDir(m_lastFolder).exists() ? m_lastFolder
                                                                               : QDir::homePath());
    if (saving) {
        dialog.setDefaultSuffix(QStringLiteral("sqlite"));
        dialog.selectFile(transfer::exportName(m_host.now().toLocalTime().date()));
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty())
        m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

transfer::Result HistoryTransfer::importInWorker(const QString &folder, const QString &file)
{
    std::atomic<int> permille = 0;
    std::atomic<bool> cancel = false;
    std::atomic<bool> finished = false;
    transfer::Result result;
    // The worker's connection is its own, made and closed in its thread.
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        {
            History history(folder);
            if (history.open())
                result = history.importFrom(file, [&](double done) {
                    permille = static_cast<int>(done * 1000);
                    return !cancel;
                });
            else
                result = {transfer::Outcome::Failed, history.error(), {}};
        }
        finished = true;
    }));
    worker->start();

    std::unique_ptr<QProgressDialog> progress;
    const auto waitUntil = [&](const std::function<bool()> &stop,
                               QEventLoop::ProcessEventsFlags flags) {
        QEventLoop loop;
        QTimer tick;
        connect(&tick, &QTimer::timeout, &loop, [&] {
            if (stop())
                loop.quit();
            else if (progress)
                progress->setValue(permille);
        });
        tick.start(20);
        loop.exec(flags);
    };
    // The learner's clicks and keys wait until the import ends or its dialog shows: nothing
    // else may use the history meanwhile.
    QElapsedTimer clock;
    clock.start();
    waitUntil([&] { return finished || clock.elapsed() >= quietMs; },
              QEventLoop::ExcludeUserInputEvents);
    if (!finished) {
        progress = std::make_unique<QProgressDialog>(historytexts::importing, historytexts::cancel,
                                                     0, 1000, &m_window);
        progress->setObjectName(QStringLiteral("ProgressionImport"));
        progress->setWindowTitle(helptexts::defaultTitle);
        progress->setWindowModality(Qt::WindowModal);
        progress->setAutoReset(false);
        progress->setValue(permille);
        connect(progress.get(), &QProgressDialog::canceled, this, [&cancel] { cancel = true; });
        connect(progress.get(), &QDialog::rejected, this, [&cancel] { cancel = true; });
        progress->show();
        waitUntil([&] { return finished || cancel; }, QEventLoop::AllEvents);
        progress->hide();
        // Rolling back takes a moment more.
        waitUntil([&] { return finished.load(); }, QEventLoop::ExcludeUserInputEvents);
    }
    worker->wait();
    return result;
}

void HistoryTransfer::warn(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, historytexts::warningTitle, text, QMessageBox::Ok,
                    &m_window);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

#include "opendialog.h"

#include "ownexercisetexts.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QScopeGuard>
#include <QUrl>

#include <algorithm>

QString matchingNameFilter(const QString &nameFilter)
{
    // The patterns stand between the last parentheses, separated by spaces.
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !nameFilter.endsWith(QLatin1Char(')')))
        return nameFilter;
    QStringList patterns =
        nameFilter.mid(open + 1, nameFilter.size() - open - 2).split(QLatin1Char(' '));
    if (!patterns.contains(QStringLiteral("*.*")))
        return nameFilter;
    for (QString &pattern : patterns) {
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return nameFilter.left(open + 1) + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QStringList nameFiltersFrom(const QString &filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &label = parts.at(i);
        const QString &pattern = parts.at(i + 1);
        if (label.isEmpty() && pattern.isEmpty())
            continue;
        const QString suffix = QLatin1Char('(') + pattern + QLatin1Char(')');
        result.append(label.endsWith(suffix) ? label : label + QLatin1Char(' ') + suffix);
    }
    return result;
}

namespace {

// Both folders are named "exercices": their places in the sidebar say which is which. The
// sidebar names a place after its folder again whenever the folder's details come in, so the
// names are given again then.
void namePlaces(QFileDialog &dialog, const QList<std::pair<QString, QString>> &names)
{
    auto *sidebar = dialog.findChild<QAbstractItemView *>(QStringLiteral("sidebar"));
    QAbstractItemModel *model = sidebar != nullptr ? sidebar->model() : nullptr;
    if (model == nullptr)
        return;
    const auto rename = [model, names] {
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            const QString path = index.data(Qt::ToolTipRole).toString();
            for (const auto &[folder, name] : names) {
                if (path == folder && index.data().toString() != name)
                    model->setData(index, name);
            }
        }
    };
    rename();
    QObject::connect(model, &QAbstractItemModel::dataChanged, &dialog, rename);
    // Wide enough for the names, which are longer than the folders'.
    sidebar->setMinimumWidth(std::max(sidebar->minimumWidth(),
                                      sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth()));
}

} // namespace

OpenDialog::OpenDialog(const QString &programFolder, const QString &ownFolder)
    : m_coursesFolder(programFolder + QStringLiteral("/exercices")), m_ownFolder(ownFolder)
{}

void OpenDialog::setFilter(const QString &filter)
{
    m_nameFilters = nameFiltersFrom(filter);
}

QString OpenDialog::exec(QWidget *parent)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("CDC"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList matching;
    for (const QString &filter : std::as_const(m_nameFilters))
        matching.append(matchingNameFilter(filter));
    dialog.setNameFilters(matching);
    if (!matching.isEmpty())
        dialog.selectNameFilter(matching.first());
    // The list of file types reads as the filter names them ("Tous (*.*)"), while the dialog
    // applies the pattern that matches what the name promises.
    if (auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))) {
        for (int i = 0; i < types->count() && i < m_nameFilters.size(); ++i)
            types->setItemText(i, m_nameFilters.at(i));
    }
    // The sidebar's places are saved for every program's file dialogs: ours are shown in this
    // dialog only, and the learner's own places are put back before it closes.
    const QList<QUrl> saved = dialog.sidebarUrls();
    const auto restore = qScopeGuard([&dialog, &saved] { dialog.setSidebarUrls(saved); });
    QList<QUrl> places = saved;
    QList<std::pair<QString, QString>> names;
    for (const auto &[folder, name] : {std::pair(m_coursesFolder, ownexercisetexts::coursesPlace),
                                       std::pair(m_ownFolder, ownexercisetexts::ownPlace)}) {
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            continue;
        const QString path = QDir(folder).absolutePath();
        places.append(QUrl::fromLocalFile(path));
        names.append({QDir::toNativeSeparators(path), name});
    }
    dialog.setSidebarUrls(places);
    namePlaces(dialog, names);
    const QDir courses(m_coursesFolder);
    if (!m_lastFolder.isEmpty() && QDir(m_lastFolder).exists())
        dialog.setDirectory(m_lastFolder);
    else if (courses.exists())
        dialog.setDirectory(courses);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty())
        m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

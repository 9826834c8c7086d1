#include "progresscorner.h"

#include "progresslabel.h"

#include <QAction>
#include <QMenuBar>
#include <QTimer>

#include <algorithm>

ProgressCorner::ProgressCorner(QMenuBar &bar) : QObject(&bar), m_bar(bar)
{
    m_label = new ProgressLabel(&bar);
    m_label->setObjectName(QStringLiteral("progression"));
    m_label->setContentsMargins(0, 0, 6, 0);
    m_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar.setCornerWidget(m_label, Qt::TopRightCorner);
    m_notice = new QTimer(this);
    m_notice->setSingleShot(true);
    connect(m_notice, &QTimer::timeout, this, [this] { show(m_progress); });
}

void ProgressCorner::setText(const QString &text)
{
    m_progress = text;
    if (!m_notice->isActive())
        show(text);
}

void ProgressCorner::showNotice(const QString &text, int ms)
{
    m_notice->start(ms);
    show(text);
}

void ProgressCorner::show(const QString &text)
{
    if (!text.isEmpty() && !m_fontSet) {
        // A size below the menus' leaves their room to the menus and fits "12 / 46 · 3 à
        // revoir" beside them at the window's first size. Set with the first text: finding
        // the font costs more than the rest of the label at start-up.
        QFont small = m_label->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        m_label->setFont(small);
        m_fontSet = true;
    }
    m_label->setText(text);
    m_label->setToolTip(text);
    fit();
}

void ProgressCorner::fit()
{
    // The menu bar gives its corner widget the width it asks for, pushing menus that no longer
    // fit into an overflow button: the label asks for no more than the menus leave free. The
    // bar lays out its items again when its corner widget is shown.
    // An empty label takes next to no room; the next text fits it again.
    if (m_label->text().isEmpty())
        return;
    const auto relayout = [this] {
        if (!m_bar.isVisible())
            return;
        m_label->hide();
        m_label->show();
    };
    m_label->setRoom(0);
    relayout();
    int menusEnd = 0;
    for (QAction *action : m_bar.actions())
        menusEnd = std::max(menusEnd, m_bar.actionGeometry(action).right() + 1);
    const int gap = m_bar.fontMetrics().averageCharWidth();
    m_label->setRoom(m_bar.width() - menusEnd - gap);
    relayout();
}

#include "access/gui/GridFill.h"
#include <QAbstractItemDelegate>
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>
#include <algorithm>

GridFill::GridFill(QTableView* view, const QString& fillDownText)
    : QObject(view)
    , m_view(view)
    , m_fillDown(new QAction(fillDownText, view))
{
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fillDown->setObjectName(QStringLiteral("A_FillDown"));
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_view->addAction(m_fillDown);
    connect(m_fillDown, &QAction::triggered, this, &GridFill::fillDown);
    // A cell editor is made when an edit starts and gets the focus: watch it for Ctrl+Enter.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { onFocusChanged(now); });
}

void GridFill::setText(const QString& fillDownText) { m_fillDown->setText(fillDownText); }

void GridFill::onFocusChanged(QWidget* now)
{
    // Filters installed later run first, so this one sees the key before the delegate ends the
    // edit. Installing it again on the same editor only moves it to the front.
    if (now && m_view->viewport()->isAncestorOf(now))
        now->installEventFilter(this);
}

bool GridFill::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* editor = qobject_cast<QWidget*>(watched);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || !(key->modifiers() & Qt::ControlModifier) || !editor
        || !m_view->viewport()->isAncestorOf(editor))
        return false;
    // The edited cell itself gets its value as the edit ends, right after this.
    const QModelIndex current = m_view->currentIndex();
    for (const QModelIndex& target : targets())
        if (target != current && (m_view->model()->flags(target) & Qt::ItemIsEditable))
            m_view->itemDelegateForIndex(target)->setModelData(editor, m_view->model(), target);
    return false;
}

QModelIndexList GridFill::targets() const
{
    const int col = m_view->currentIndex().column();
    QModelIndexList cells;
    for (const QModelIndex& index : m_view->selectionModel()->selectedIndexes())
        if (index.column() == col && col > 0)
            cells << index;
    std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    return cells;
}

void GridFill::fillDown()
{
    const QModelIndexList cells = targets();
    for (qsizetype i = 1; i < cells.size(); ++i)
        setValue(cells[i], cells.front());
}

void GridFill::setValue(const QModelIndex& target, const QModelIndex& source)
{
    QAbstractItemModel* model = m_view->model();
    const Qt::ItemFlags flags = model->flags(target);
    if (flags & Qt::ItemIsUserCheckable)
        model->setData(target, source.data(Qt::CheckStateRole), Qt::CheckStateRole);
    else if (flags & Qt::ItemIsEditable)
        model->setData(target, source.data(Qt::EditRole), Qt::EditRole);
}

#pragma once
#include <QModelIndexList>
#include <QObject>

class QAction;
class QTableView;
class QWidget;

// Sets several cells of one column at once in a grid of the access window: type a value with
// several cells selected and end the edit with Ctrl+Enter, or "Fill down" from the context menu,
// which copies the first selected cell of the column to the others. Read-only and locked
// cells are left as they are.
class GridFill : public QObject {
    Q_OBJECT
public:
    GridFill(QTableView* view, const QString& fillDownText);

    void setText(const QString& fillDownText);
    void fillDown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The selected cells in the current cell's column, top to bottom.
    QModelIndexList targets() const;
    void setValue(const QModelIndex& target, const QModelIndex& source);
    void onFocusChanged(QWidget* now);

    QTableView* m_view;
    QAction* m_fillDown;
};

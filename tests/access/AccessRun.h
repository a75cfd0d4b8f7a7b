#pragma once
#include "access/core/Catalog.h"
#include "access/gui/AccessDialog.h"
#include "access/gui/GridView.h"
#include "support/WindowFixture.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <memory>

// The access window of one project, driven through its named controls.
struct AccessRun : WindowFixture {
    std::unique_ptr<AccessDialog> window;

    explicit AccessRun(const QString& configuration = QStringLiteral("P1"))
    {
        activateConfiguration(configuration);
        window = std::make_unique<AccessDialog>(context);
    }

    // Shows the window as the main window's step does (each showing loads the access file).
    // Events go straight to the controls, so this needs no activation: window tests of other
    // programs may share the display and take it. Typing through the focus needs openActive.
    void open() { ASSERT_TRUE(showExposed(window.get())); }
    void openActive() { ASSERT_TRUE(showActive(window.get())); }

    template <typename W> W* find(const char* name) const { return ::child<W>(window.get(), name); }
    void click(const char* name) const { ::click(window.get(), name); }

    QString catalog() const { return ConfigurationPaths(state.configurationFolder).catalogFolder(); }
    // A file of the engineer's outside the project, returned by its path.
    QString sourceFile(const QString& name, const QByteArray& content) const
    {
        QDir(programFolder).mkpath(QStringLiteral("source"));
        const QString file = path(QStringLiteral("source/") + name);
        writeTestFile(file, content);
        return file;
    }

    // The device list and the device tree.
    QListWidget* deviceList() const { return find<QListWidget>("LB_IEC_Devices"); }
    QTreeWidget* deviceTree() const { return find<QTreeWidget>("TV_IEC_Device"); }
    QStringList deviceTexts() const
    {
        QStringList labels;
        for (int i = 0; i < deviceList()->count(); ++i)
            labels << deviceList()->item(i)->text();
        return labels;
    }
    void importFile(const QString& file)
    {
        fakes.fileDialog.nextFiles.push_back(file);
        click("Btn_Add_IEC_Device");
    }
    void chooseDevice(int row) const
    {
        QListWidget* list = deviceList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
    void clickNode(QTreeWidgetItem* node) const
    {
        QTreeWidget* tree = deviceTree();
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    }
    // The node reached by following `path` from the shown device's root node.
    QTreeWidgetItem* node(const QStringList& path) const
    {
        QTreeWidgetItem* at = deviceTree()->topLevelItem(0);
        for (const QString& step : path) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; at && i < at->childCount(); ++i)
                if (at->child(i)->text(0) == step)
                    next = at->child(i);
            at = next;
        }
        EXPECT_TRUE(at) << path.join('/').toStdString();
        return at;
    }
    void clickNode(const QStringList& path) const
    {
        if (QTreeWidgetItem* at = node(path))
            clickNode(at);
    }
    void add(const QStringList& path) const
    {
        clickNode(path);
        click("Btn_AddVar");
    }

    // What Add Var adds for the tree's selection: the references of the new rows. An empty
    // grid keeps one blank row, which the first entry fills.
    struct Added {
        QStringList variables, dataSets;
    };
    Added addSelection() const
    {
        const auto firstNewRow = [](const StringGrid& grid) { return grid.isEmpty() ? 1 : grid.rowCount(); };
        const auto referencesFrom = [](const StringGrid& grid, int first, int col) {
            QStringList references;
            for (int row = first; !grid.isEmpty() && row < grid.rowCount(); ++row)
                references << grid.cell(col, row);
            return references;
        };
        const StringGrid& vars = cells("ACG_DA");
        const StringGrid& sets = cells("ACG_DataSet");
        const int firstVar = firstNewRow(vars), firstSet = firstNewRow(sets);
        click("Btn_AddVar");
        return {
            referencesFrom(vars, firstVar, VariableColumn::Reference), referencesFrom(sets, firstSet, DataSetColumn::Reference)};
    }

    // The grids: ACG_DA (variables), ACG_DataSet and ACG_DS_Vars (the current data set's members).
    GridView* grid(const char* name) const { return find<GridView>(name); }
    const StringGrid& cells(const char* name) const { return grid(name)->gridModel()->grid(); }
    QString currentPage() const { return find<QTabWidget>("PC_Access")->currentWidget()->objectName(); }

    static QModelIndex indexOf(GridView* view, int col, int row) { return view->model()->index(GridModel::viewRow(row), col); }
    static void clickCell(GridView* view, int col, int row)
    {
        const QModelIndex index = indexOf(view, col, row);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    // The open editor of a view, found among the view's children rather than through the focus.
    template <typename E> static E* openEditor(GridView* view)
    {
        for (E* editor : view->viewport()->findChildren<E*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    static void startEdit(GridView* view, int col, int row)
    {
        clickCell(view, col, row);
        QTest::keyClick(view, Qt::Key_F2);
    }
    // Types into a cell as the engineer does: click, F2, the text, Enter.
    static void typeCell(GridView* view, int col, int row, const QString& text)
    {
        startEdit(view, col, row);
        auto* editor = openEditor<QLineEdit>(view);
        ASSERT_TRUE(editor) << "no text editor at " << col << "," << row;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    // Picks a drop-down entry of a cell; returns the entries offered.
    static QStringList choose(GridView* view, int col, int row, const QString& choice)
    {
        startEdit(view, col, row);
        auto* combo = openEditor<QComboBox>(view);
        if (!combo)
            return {};
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        combo->setCurrentIndex(combo->findText(choice));
        QTest::keyClick(combo, Qt::Key_Return);
        QApplication::processEvents();
        return items;
    }
    static bool editable(GridView* view, int col, int row)
    {
        return view->model()->flags(indexOf(view, col, row)) & Qt::ItemIsEditable;
    }
};

// The cells of column `col` below the heading row.
inline QStringList column(const StringGrid& grid, int col)
{
    QStringList cells;
    for (int row = 1; row < grid.rowCount(); ++row)
        cells << grid.cell(col, row);
    return cells;
}

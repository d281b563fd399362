#include "platform/AccessibleFaces.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <vector>

#include "platform/Announcer.h"
#include "platform/ImageControl.h"

namespace {

// One mark-sized cell of an image control, named by the control; it lives
// in Qt's cache of interfaces, which the control's own interface empties.
class Cell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    Cell(ImageControl* control, int index) : control_(control), index_(index) {}

    bool isValid() const override { return !control_.isNull(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(control_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? control_->cellName(columnIndex(), rowIndex()) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect mark = control_->FocusMark();
        const QPoint at(columnIndex() * mark.width(), rowIndex() * mark.height());
        return QRect(control_->mapToGlobal(at), mark.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.focusable = true;
        state.focused = control_->hasFocus() && control_->FocusedCell() == index_;
        state.disabled = !control_->isEnabled();
        state.invisible = !control_->isVisible();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return index_ % control_->Cells().width(); }
    int rowIndex() const override { return index_ / control_->Cells().width(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<ImageControl> control_;
    int index_;
};

// An image control: a button when it can be clicked, a table when it names
// its cells, a picture otherwise. Whether it names them is asked each time,
// since Qt may make this interface before the control's owner has said so.
class Image : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit Image(ImageControl* control) : QAccessibleWidget(control) {}
    ~Image() override {
        for (QAccessible::Id id : cells_) QAccessible::deleteAccessibleInterface(id);
    }

    QAccessible::Role role() const override {
        if (Grid()) return QAccessible::Table;
        return control()->onClick ? QAccessible::Button : QAccessible::Graphic;
    }
    int childCount() const override { return Grid() ? rowCount() * columnCount() : 0; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        if (cells_.empty())
            for (int i = 0; i < childCount(); ++i)
                cells_.push_back(QAccessible::registerAccessibleInterface(new Cell(control(), i)));
        return QAccessible::accessibleInterface(cells_[size_t(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (size_t i = 0; i < cells_.size(); ++i)
            if (QAccessible::accessibleInterface(cells_[i]) == child) return int(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = control()->mapFromGlobal(QPoint(x, y));
        const QRect mark = control()->FocusMark();
        if (!Grid() || !control()->rect().contains(at)) return nullptr;
        return cellAt(at.y() / mark.height(), at.x() / mark.width());
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface && Grid())
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        return child(row * columnCount() + column);
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return control()->Cells().width(); }
    int rowCount() const override { return control()->Cells().height(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    ImageControl* control() const { return static_cast<ImageControl*>(widget()); }
    bool Grid() const { return bool(control()->cellName); }

    mutable std::vector<QAccessible::Id> cells_;
};

QAccessibleInterface* Face(const QString&, QObject* object) {
    if (auto* control = qobject_cast<ImageControl*>(object)) return new Image(control);
    if (auto* notice = dynamic_cast<Notice*>(object))
        return new QAccessibleWidget(notice, QAccessible::Notification);
    return nullptr;
}

}  // namespace

void InstallAccessibleFaces() {
    QAccessible::installFactory(Face);
}

#include "views/logviewer/LogViewerView.h"

#include "views/common/AccessibleWidgets.h"
#include "views/common/FloatingNotice.h"
#include "views/common/Labels.h"
#include "views/common/LiveStatus.h"
#include "views/logviewer/LogLinesModel.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int padding = 12;

// Rows as wide as the widest shown line, so that the list scrolls sideways to the end of it
// (the list measures only one row when all rows share one size).
class LineDelegate : public QStyledItemDelegate {
public:
    LineDelegate(const LogLinesModel& lines, QObject* parent)
        : QStyledItemDelegate(parent), m_lines(lines) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const int columnWidth = QFontMetrics(option.font).horizontalAdvance(QLatin1Char('0'));
        size.setWidth(std::max(size.width(), m_lines.widestColumns() * columnWidth + padding));
        return size;
    }

private:
    const LogLinesModel& m_lines;
};

QPushButton* makeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAccessibleName(text);
    // Return in the search field must not press a button of the dialog.
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

LogViewerView::LogViewerView(InstallationState& state, QWidget* parent)
    : QDialog(parent), m_controller(new LogViewerController(state, this)) {
    setWindowTitle(tr("安装日志详情"));
    setWindowModality(Qt::WindowModal);
    setFixedSize(800, 600);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    layout->addWidget(buildFilterBar());
    layout->addWidget(buildLogArea(), 1);
    layout->addWidget(buildFooter());

    connect(m_searchField, &QLineEdit::textEdited, m_controller,
            &LogViewerController::setSearchText);
    connect(m_controller, &LogViewerController::searchTextChanged, this, [this] {
        if (m_searchField->text() != m_controller->searchText()) {
            m_searchField->setText(m_controller->searchText());
        }
    });
    connect(m_levelGroup, &QButtonGroup::idClicked, m_controller,
            [this](int id) { m_controller->setSelectedLogLevel(static_cast<LogLevel>(id)); });
    connect(m_controller, &LogViewerController::selectedLogLevelChanged, this, [this] {
        m_levelGroup->button(static_cast<int>(m_controller->selectedLogLevel()))->setChecked(true);
    });
    const LogLinesModel* lines = m_controller->lines();
    connect(lines, &QAbstractItemModel::modelReset, this, &LogViewerView::updateEmptyNote);
    connect(lines, &QAbstractItemModel::rowsInserted, this, &LogViewerView::updateEmptyNote);
    connect(lines, &QAbstractItemModel::rowsRemoved, this, &LogViewerView::updateEmptyNote);
    connect(m_controller, &LogViewerController::isIndexingChanged, this,
            &LogViewerView::updateEmptyNote);
    // The count is spoken once the new filter's lines are in.
    connect(m_controller, &LogViewerController::searchTextChanged, this,
            [this] { m_countPending = true; });
    connect(m_controller, &LogViewerController::selectedLogLevelChanged, this,
            [this] { m_countPending = true; });
    m_notice = new FloatingNotice(this);
    // Named from the start (while the sheet is still hidden), so that no change goes unnamed.
    m_countPending = true;
    updateEmptyNote();
}

void LogViewerView::updateEmptyNote() {
    // While the log is indexed anew the list still shows the earlier lines: the note stays as is.
    if (m_controller->isIndexing()) {
        return;
    }
    const int rows = m_controller->lines()->rowCount();
    const bool empty = rows == 0;
    // Spoken when the list turns empty, not again for each key typed while it stays so.
    if (empty && m_emptyNote->isHidden()) {
        m_emptyNote->show();
        m_emptyNote->announce(tr("没有符合条件的日志"));
    }
    m_emptyNote->setVisible(empty);
    const QString count = tr("共%n行日志", nullptr, rows);
    // Nothing left is said by the note, once.
    if (m_countPending && !empty) {
        m_count->announce(count);
    } else {
        m_count->setText(count);
    }
    m_countPending = false;
}

void LogViewerView::done(int result) {
    m_controller->clearFilters();
    QDialog::done(result);
}

QWidget* LogViewerView::buildHeader() {
    auto* header = new QFrame(this);
    header->setObjectName(QStringLiteral("headerBar"));
    header->setStyleSheet(QStringLiteral("QFrame#headerBar { background-color: %1; }"
                                         "QPushButton#closeButton { color: %2; background: "
                                         "transparent; border: 1px solid %2; border-radius: 5px; "
                                         "padding: 3px 12px; }")
                              .arg(Palette::css(Palette::blue()), Palette::css(Palette::white())));
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->addWidget(Labels::text(tr("安装日志详情"), Palette::font(15, QFont::DemiBold),
                                   Palette::white(), header));
    layout->addStretch(1);
    QPushButton* close = makeButton(tr("关闭"), QStringLiteral("closeButton"), header);
    close->setFont(Palette::font(13));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(close);
    return header;
}

QWidget* LogViewerView::buildFilterBar() {
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(padding);

    m_searchField = new QLineEdit(bar);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setPlaceholderText(tr("搜索日志内容"));
    m_searchField->setAccessibleName(m_searchField->placeholderText());
    m_searchField->setFont(Palette::font(13));
    m_searchField->setClearButtonEnabled(true);
    // The clear button is a bare symbol inside the field.
    for (auto* clear : m_searchField->findChildren<QToolButton*>()) {
        clear->setAccessibleName(tr("清除搜索"));
    }
    layout->addWidget(m_searchField, 1);

    layout->addWidget(Labels::text(tr("日志级别"), Palette::font(13), Palette::primaryText(), bar));
    // A segmented picker: one exclusive, checkable button per level.
    auto* picker = new QFrame(bar);
    picker->setObjectName(QStringLiteral("logLevelPicker"));
    // One choice of five: a reader meets a named group of radio buttons, not five toggles.
    AccessibleWidgets::setRole(picker, QAccessible::Grouping);
    picker->setAccessibleName(tr("日志级别"));
    picker->setFixedWidth(300);
    picker->setStyleSheet(
        QStringLiteral("QFrame#logLevelPicker { background-color: %1; border-radius: 6px; }"
                       "QFrame#logLevelPicker QPushButton { border: none; border-radius: 5px; "
                       "padding: 3px 0px; color: %2; background: transparent; }"
                       "QFrame#logLevelPicker QPushButton:checked { background-color: %3; "
                       "color: %4; }")
            .arg(Palette::css(Palette::withOpacity(Palette::grey(), 0.15)),
                 Palette::css(Palette::primaryText()), Palette::css(Palette::blue()),
                 Palette::css(Palette::white())));
    auto* segments = new QHBoxLayout(picker);
    segments->setContentsMargins(2, 2, 2, 2);
    segments->setSpacing(2);
    m_levelGroup = new QButtonGroup(picker);
    for (const LogLevel level : LogFilter::levels()) {
        QPushButton* segment = makeButton(LogFilter::displayName(level), {}, picker);
        segment->setFont(Palette::font(12));
        segment->setCheckable(true);
        AccessibleWidgets::setRole(segment, QAccessible::RadioButton);
        segment->setChecked(level == m_controller->selectedLogLevel());
        m_levelGroup->addButton(segment, static_cast<int>(level));
        segments->addWidget(segment);
    }
    layout->addWidget(picker);
    return bar;
}

QWidget* LogViewerView::buildLogArea() {
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("logList"));
    m_list->setAccessibleName(tr("安装日志"));
    m_list->setModel(m_controller->lines());
    m_list->setFont(Palette::monospaceFont(11));
    m_list->setItemDelegate(new LineDelegate(*m_controller->lines(), m_list));
    // Equal rows let the list lay out hundreds of thousands of lines at once.
    m_list->setUniformItemSizes(true);
    m_list->setWordWrap(false);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setStyleSheet(QStringLiteral("QListView { background-color: %1; padding: %2px %3px; }")
                              .arg(Palette::css(Palette::controlBackground()))
                              .arg(padding / 2)
                              .arg(padding));

    auto* copySelection = new QAction(m_list);
    copySelection->setShortcut(QKeySequence::Copy);
    copySelection->setShortcutContext(Qt::WidgetShortcut);
    connect(copySelection, &QAction::triggered, m_controller, [this] {
        QList<int> rows;
        for (const QModelIndex& index : m_list->selectionModel()->selectedIndexes()) {
            rows << index.row();
        }
        m_controller->copyRows(rows);
    });
    m_list->addAction(copySelection);

    // Over the empty list, where the lines would be. A sibling of the list rather than a child of
    // its viewport, whose children a reader never reaches (it sees the list's rows only).
    auto* area = new QWidget(this);
    auto* stack = new QGridLayout(area);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(m_list, 0, 0);
    m_emptyNote = new LiveStatus(Palette::font(12), Palette::secondaryText(), area);
    m_emptyNote->setObjectName(QStringLiteral("emptyNote"));
    m_emptyNote->setContentsMargins(padding * 2, padding, padding, padding);
    m_emptyNote->hide();
    stack->addWidget(m_emptyNote, 0, 0, Qt::AlignTop | Qt::AlignLeft);
    return area;
}

QWidget* LogViewerView::buildFooter() {
    auto* footer = new QWidget(this);
    auto* layout = new QHBoxLayout(footer);
    layout->setContentsMargins(padding, padding, padding, padding);
    m_count = new LiveStatus(Palette::font(12), Palette::secondaryText(), footer);
    m_count->setObjectName(QStringLiteral("lineCount"));
    layout->addWidget(m_count);
    layout->addStretch(1);
    QPushButton* copy = makeButton(tr("复制到剪贴板"), QStringLiteral("copyButton"), footer);
    copy->setFont(Palette::font(13));
    copy->setIcon(IconRegistry::icon(QStringLiteral("doc.on.doc"), Palette::primaryText()));
    connect(copy, &QPushButton::clicked, m_controller, &LogViewerController::copyToClipboard);
    connect(copy, &QPushButton::clicked, this, [this] { m_notice->flash(tr("已复制")); });
    layout->addWidget(copy);
    return footer;
}

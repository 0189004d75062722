#include "SeasonLogModel.h"

#include <QFont>
#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

// An entry as recorded, all of its digits, for typing over.
QString entryText(double mm) {
    return QLocale().toString(mm, 'f', QLocale::FloatingPointShortest);
}

bool hasRow(const SeasonDay& day) {
    return day.rain || day.logged || day.reading || day.planned > 0 || day.advised;
}

} // namespace

SeasonLogModel::SeasonLogModel(QObject* parent) : QAbstractTableModel(parent) {}

QString SeasonLogModel::figure(double mm) {
    return QLocale().toString(mm, 'f', 1);
}

void SeasonLogModel::show(const PlanResult* plan, bool allDays) {
    if (plan && !plan->seasonBalance) {
        plan = nullptr;
    }
    std::vector<int> days;
    if (plan) {
        for (const SeasonDay& day : plan->seasonBalance->days) {
            if (allDays || hasRow(day)) {
                days.push_back(day.day);
            }
        }
    }
    const QDate planted =
        plan && plan->plantingDate
            ? QDate::fromString(QString::fromStdString(*plan->plantingDate), Qt::ISODate)
            : QDate();
    if (days == days_ && planted == planted_) {
        plan_ = plan;
        if (!days_.empty()) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, Columns - 1));
        }
        return;
    }
    beginResetModel();
    plan_ = plan;
    days_ = std::move(days);
    planted_ = planted;
    endResetModel();
}

int SeasonLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(days_.size());
}

int SeasonLogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns;
}

int SeasonLogModel::dayOf(int row) const {
    return row >= 0 && row < rowCount() ? days_[static_cast<std::size_t>(row)] : -1;
}

int SeasonLogModel::rowOf(int day) const {
    const auto it = std::lower_bound(days_.begin(), days_.end(), day);
    return it != days_.end() && *it == day ? static_cast<int>(it - days_.begin()) : -1;
}

const SeasonDay* SeasonLogModel::seasonDay(int row) const {
    const int day = dayOf(row);
    if (day < 1 || !plan_ || static_cast<std::size_t>(day) > plan_->seasonBalance->days.size()) {
        return nullptr;
    }
    return &plan_->seasonBalance->days[static_cast<std::size_t>(day - 1)];
}

QDate SeasonLogModel::dateOf(int day) const {
    return planted_.addDays(day);
}

QVariant SeasonLogModel::display(const SeasonDay& day, int column) const {
    const auto amount = [](double mm) {
        return mm > 0 ? figure(mm) : QString();
    };
    switch (column) {
    case Date:
        return QLocale().toString(dateOf(day.day), QLocale::ShortFormat);
    case Day:
        return day.day;
    case Rain:
        return day.rain ? entryText(*day.rain) : QString();
    case Irrigation:
        if (day.logged) {
            return entryText(day.irrigation);
        }
        if (day.advised) {
            return figure(*day.advised);
        }
        return day.planned > 0 ? QStringLiteral("not recorded") : QString();
    case Planned:
        return amount(day.planned);
    case SoilWater: {
        QString text = figure(day.soilWater);
        if (!day.soilClass.empty()) {
            text += QLatin1Char(' ') + QString::fromStdString(day.soilClass);
        }
        // Against the plan, when off it by a tenth or more.
        if (std::abs(day.deviation) >= 0.05) {
            text += QStringLiteral(" (") + (day.deviation > 0 ? QStringLiteral("+") : QString()) +
                    figure(day.deviation) + QLatin1Char(')');
        }
        return text;
    }
    case Drained:
        return amount(day.drained);
    case Shortfall:
        return amount(day.shortfall);
    default:
        return {};
    }
}

QVariant SeasonLogModel::data(const QModelIndex& index, int role) const {
    const SeasonDay* day = index.isValid() ? seasonDay(index.row()) : nullptr;
    if (!day) {
        return {};
    }
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return display(*day, column);
    case Qt::EditRole:
        if (column == Rain) {
            return day->rain ? entryText(*day->rain) : QString();
        }
        if (column == Irrigation) {
            return day->logged ? entryText(day->irrigation) : QString();
        }
        return display(*day, column);
    case Qt::TextAlignmentRole:
        return static_cast<int>(
            (column == Date || (column == Irrigation && !day->logged && !day->advised)
                 ? Qt::AlignLeft
                 : Qt::AlignRight) |
            Qt::AlignVCenter);
    case Qt::FontRole:
        // Advised amounts are not yet applied; a reading sets the soil water.
        if ((column == Irrigation && !day->logged && day->advised) ||
            (column == SoilWater && day->reading)) {
            QFont font;
            font.setItalic(column == Irrigation);
            font.setBold(column == SoilWater);
            return font;
        }
        return {};
    case Qt::ToolTipRole: {
        if (const auto problem = problems_.find({day->day, column}); problem != problems_.end()) {
            return problem->second;
        }
        if (column == Irrigation && !day->logged && day->advised) {
            return QStringLiteral("Advised: %1 mm").arg(figure(*day->advised));
        }
        if (column == SoilWater) {
            QString tip = QStringLiteral("Planned: %1 mm").arg(figure(day->plannedWater));
            if (!day->plannedClass.empty()) {
                tip += QStringLiteral(", ") + QString::fromStdString(day->plannedClass);
            }
            if (day->reading) {
                tip += QStringLiteral("\nSoil reading: %1 mm").arg(figure(*day->reading));
            }
            return tip;
        }
        return {};
    }
    default:
        return {};
    }
}

QVariant SeasonLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const headings[] = {"Date",          "Day",
                                           "Rain\n(mm)",    "Irrigation\n(mm)",
                                           "Planned\n(mm)", "Soil water\n(mm)",
                                           "Drained\n(mm)", "Shortfall\n(mm)"};
    return section >= 0 && section < Columns ? QString::fromLatin1(headings[section]) : QVariant();
}

Qt::ItemFlags SeasonLogModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && (index.column() == Rain || index.column() == Irrigation)) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool SeasonLogModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int day = index.isValid() ? dayOf(index.row()) : -1;
    if (role != Qt::EditRole || day < 1 ||
        (index.column() != Rain && index.column() != Irrigation)) {
        return false;
    }
    // Unchanged text changes nothing.
    if (value.toString().trimmed() == data(index, Qt::EditRole).toString()) {
        return false;
    }
    emit entryTyped(day, static_cast<Column>(index.column()), value.toString());
    return true;
}

void SeasonLogModel::setProblem(int day, Column column, const QString& problem) {
    problems_[{day, column}] = problem;
    if (const int row = rowOf(day); row >= 0) {
        emit dataChanged(index(row, column), index(row, column), {Qt::ToolTipRole});
    }
}

void SeasonLogModel::clearProblems() {
    problems_.clear();
}

} // namespace tavik

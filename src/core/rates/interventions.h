#pragma once
// What the hospital changed and when (table intervention,
// docs/database.md): listed, added, changed and removed, each change one
// transaction. The trend graph draws each inside its period as a labelled
// vertical line; the before/after comparison is made around one of them.

#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

namespace orvanta {

class Database;

struct Intervention {
  std::int64_t id = 0;
  QDate date;  // the day it took effect
  QString label;
  friend bool operator==(const Intervention&, const Intervention&) = default;
};

// "2024-04-01  安全装置付き翼状針の導入": how a list names one.
QString InterventionText(const Intervention& intervention);

// What is wrong with a date and label before they are stored: the label must
// not be empty (blanks alone count as empty), the date must lie in the years
// 1900 to 2200. Empty when both are fine.
QString InterventionProblem(const QDate& date, const QString& label);

// Every stored intervention, by date and then in the order they were added;
// false with the reason when the database cannot be read (none when it is
// not open). A row whose date cannot be read is left out.
bool LoadInterventions(const Database& database, std::vector<Intervention>* out, QString* error);

// Adds one (its id in *id), changes one, removes one: each one transaction.
// The label is stored without its leading and trailing blanks.
bool AddIntervention(Database& database, const QDate& date, const QString& label, std::int64_t* id, QString* error);
bool ChangeIntervention(Database& database, std::int64_t id, const QDate& date, const QString& label, QString* error);
bool RemoveIntervention(Database& database, std::int64_t id, QString* error);

}  // namespace orvanta

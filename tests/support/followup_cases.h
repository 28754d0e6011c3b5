#pragma once
// What the follow-up tests stand on: the state's database opened on the test
// drive, code lists with a few departments and occupations, reports of an
// exposure with their answers to question 5, cases stored with their tests.

#include <QDate>
#include <QString>
#include <array>
#include <vector>

#include "core/app/app_state.h"
#include "core/followup/followup_case.h"

namespace orvanta::testing {

// Opens state.database at the drive's database path, making the data folder
// when it is missing (the test fails when it cannot be opened).
void OpenFollowupDatabase(AppState& state);

// Departments 内科 (id 401) and 外科 (402), occupations 医師 (1) and 看護師 (2).
void UseFollowupLists(CodeLists& lists);

// A report of the reporter `name`, 看護師 of 内科, injured on `incident`,
// with question 5 answered: known as Choices(1), results HIV, HCV, HBV.
ReportRecord ExposureReport(int id, const QString& name, const QDate& incident, int known = 1,
                            std::array<int, 3> results = {1, 2, 3});

// A case for report id, open, with the worker and incident given.
FollowupCase CaseOf(int reportId, const QString& name, const QDate& incident, const QString& department = {});

// A test of a case.
FollowupTest TestOf(int reportId, Pathogen pathogen, const QString& test, const QDate& due, const QDate& done = {});

// Stores the case and its tests (the tests receive their ids); the test fails
// when that does not work.
void StoreCase(Database& database, const FollowupCase& followup, std::vector<FollowupTest>& tests);

// The cases of the due-list tests, seen on 9 December 2026: 山田 花子 (report
// 1) with an overdue 6-week test, one beyond 14 days and one done; 佐藤 一郎
// (2, 外科) with tests due that day, on the 14th day ahead and a day later;
// 鈴木 (3), closed, with an open test; 高橋 (4) with an overdue test added
// by hand. Within 14 days: two overdue, two due.
void StoreDueListCases(Database& database);

// The first column of the first row of a query; -1 when it fails.
int QueryNumber(const Database& database, const QString& sql);

}  // namespace orvanta::testing

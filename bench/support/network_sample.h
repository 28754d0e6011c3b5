#pragma once
// The network of the benchmarks: 500 hospitals over 10 年度 (2015 to 2024),
// 400 reports each, 2,000,000 reports pooled in network.sqlite. The
// submission files of each year are generated once into a folder kept
// between runs; the store of the first nine years is made once by importing
// their files.

#include <QString>
#include <QStringList>

namespace orvanta {

class Database;

inline constexpr int kNetworkHospitals = 500;
inline constexpr int kNetworkYears = 10;
inline constexpr int kNetworkFirstYear = 2015;
inline constexpr int kReportsPerHospitalYear = 400;

// The folder the sample is kept in (under the system's temporary folder).
QString NetworkSampleFolder();
// The year's 500 submission files, made when missing.
QStringList NetworkSampleFiles(int year);
// A network.sqlite holding the years first..last imported, made (once) at
// the path returned.
QString NetworkSampleStore(int lastYear);

}  // namespace orvanta

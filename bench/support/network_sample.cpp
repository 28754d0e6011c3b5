#include "support/network_sample.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

#include "core/network/submission_import.h"
#include "core/platform/work_progress.h"
#include "support/submission_files.h"

namespace orvanta {

QString NetworkSampleFolder() {
  const QString folder = QDir::temp().filePath(QStringLiteral("orvanta-network-sample"));
  QDir().mkpath(folder);
  return folder;
}

QStringList NetworkSampleFiles(int year) {
  const QString folder = QDir(NetworkSampleFolder()).filePath(QString::number(year));
  QDir().mkpath(folder);
  QStringList paths;
  for (int h = 1; h <= kNetworkHospitals; ++h) {
    const QString code = QStringLiteral("H%1").arg(h, 4, 10, QLatin1Char('0'));
    const QString path = QDir(folder).filePath(QStringLiteral("提出_%1_%2.sqlite").arg(code).arg(year));
    if (!QFileInfo::exists(path)) {
      testing::SyntheticSubmission s;
      s.facilityCode = code;
      s.year = year;
      s.reports = kReportsPerHospitalYear;
      // Sizes from 50 to 1,200 beds; a few hospitals without beds.
      s.beds = h % 97 == 0 ? std::optional<double>() : std::optional<double>(50 + (h * 37) % 1150);
      s.fte = 100.0 + h % 300;
      s.seed = static_cast<std::uint32_t>(year * 1000 + h);
      QString error;
      if (!testing::WriteSyntheticSubmission(path + QStringLiteral(".part"), s, &error) ||
          !QFile::rename(path + QStringLiteral(".part"), path)) {
        QFile::remove(path + QStringLiteral(".part"));
        std::abort();
      }
    }
    paths << path;
  }
  return paths;
}

QString NetworkSampleStore(int lastYear) {
  const QString path = QDir(NetworkSampleFolder()).filePath(QStringLiteral("network-%1.sqlite").arg(lastYear));
  if (QFileInfo::exists(path)) return path;
  const QString making = path + QStringLiteral(".making");
  QFile::remove(making);
  {
    Database network{NetworkDatabaseSchema()};
    if (!network.open(making, QDateTime::currentDateTime(), nullptr, nullptr)) std::abort();
    ImportOptions options;
    options.today = QDate::currentDate();
    options.now = QDateTime::currentDateTime();
    options.replace = [](const HospitalYear&, const QString&) { return true; };
    for (int year = kNetworkFirstYear; year <= lastYear; ++year) {
      WorkProgress progress;
      ImportSubmissions(network, NetworkSampleFiles(year), options, progress);
    }
  }
  if (!QFile::rename(making, path)) std::abort();
  return path;
}

}  // namespace orvanta

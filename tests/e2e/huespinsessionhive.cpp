// The program's settings, read from its hive with the sqlite3 tool.
#include "huespinsession.h"

#include <QFile>

// Rows with their fields split by "|"; not finished when there is no hive.
ToolResult HuespinSession::QueryHive(const QString &sql)
{
    const QString hive = HiveFile();
    if (!QFile::exists(hive))
        return ToolResult();
    const ToolResult rows =
        RunTool("sqlite3", {"-readonly", "-batch", "-noheader", "-separator", "|", hive, sql}, environment_);
    if (!rows.Succeeded())
        Fail("sqlite3 could not read the hive: " + QString::fromLocal8Bit(rows.errors));
    return rows;
}

QMap<QString, QString> HuespinSession::HiveValues()
{
    QMap<QString, QString> values;
    const ToolResult rows = QueryHive("SELECT v.name, hex(v.data) FROM key_values v JOIN keys k ON k.id = v.key_id "
                                      "WHERE k.root = 'HKEY_LOCAL_MACHINE' AND k.path = 'SOFTWARE\\Huespin' "
                                      "COLLATE NOCASE");
    for (const QByteArray &row : rows.output.split('\n')) {
        const QList<QByteArray> fields = row.split('|');
        if (fields.size() != 2)
            continue;
        QByteArray data = QByteArray::fromHex(fields[1]);
        if (data.endsWith('\0'))
            data.chop(1);
        values.insert(QString::fromUtf8(fields[0]), QString::fromUtf8(data));
    }
    return values;
}

int HuespinSession::CountHuespinKeys()
{
    const ToolResult count = QueryHive("SELECT count(*) FROM keys WHERE path LIKE '%huespin%'");
    return count.Succeeded() ? count.output.trimmed().toInt() : -1;
}

// Held once sqlite3 answers from inside its transaction; it stops at an error.
std::unique_ptr<QProcess> HuespinSession::LockHive()
{
    auto holder = std::make_unique<QProcess>();
    EndWithParent(*holder);
    holder->start("sqlite3", {"-bail", "-batch", HiveFile()});
    holder->write("BEGIN EXCLUSIVE;\nSELECT 'locked';\n");
    if (holder->waitForReadyRead(WaitLimitMs) && holder->readAllStandardOutput().startsWith("locked"))
        return holder;
    Fail("sqlite3 did not lock the hive: " + QString::fromLocal8Bit(holder->readAllStandardError()));
    return nullptr;
}

bool HuespinSession::ReleaseHive(QProcess &holder)
{
    holder.write("COMMIT;\n");
    holder.closeWriteChannel();
    if (holder.waitForFinished(WaitLimitMs) && holder.exitCode() == 0)
        return true;
    Fail("sqlite3 did not let the hive go");
    return false;
}

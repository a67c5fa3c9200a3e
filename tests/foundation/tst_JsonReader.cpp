// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/JsonReader.h"

#include <QJsonDocument>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<bool>)

class tst_JsonReader : public QObject
{
    Q_OBJECT

private slots:
    void reads()
    {
        const QJsonObject object = QJsonDocument::fromJson(R"({
            "name": "Acme", "gone": null, "tags": ["a", "b"], "on": true,
            "id": "0f8fad5b-d9cb-469f-a165-70867728950e", "at": "2026-03-08T17:30:00+02:00"})")
                                       .object();
        JsonReader reader(object);
        QCOMPARE(reader.text(QLatin1StringView("name")), QStringLiteral("Acme"));
        QCOMPARE(reader.optionalText(QLatin1StringView("gone")), std::nullopt);
        QCOMPARE(reader.optionalText(QLatin1StringView("absent")), std::nullopt);
        QCOMPARE(reader.textList(QLatin1StringView("tags")), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(reader.boolean(QLatin1StringView("on")), true);
        QCOMPARE(reader.uuid(QLatin1StringView("id")), QUuid::fromString(u"0f8fad5b-d9cb-469f-a165-70867728950e"));
        QCOMPARE(reader.date(QLatin1StringView("at")), QDateTime(QDate(2026, 3, 8), QTime(15, 30), Qt::UTC));
        QString error;
        QVERIFY(reader.finish(&error));
        QVERIFY(error.isEmpty());
    }

    void integer_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("valid");

        QTest::newRow("zero") << QByteArray(R"({"n": 0})") << true;
        QTest::newRow("negative") << QByteArray(R"({"n": -42})") << true;
        QTest::newRow("largest double below 2^63") << QByteArray(R"({"n": 9223372036854774784})") << true;
        QTest::newRow("2^63") << QByteArray(R"({"n": 9223372036854775808})") << false;
        QTest::newRow("fraction") << QByteArray(R"({"n": 1.5})") << false;
        QTest::newRow("text") << QByteArray(R"({"n": "1"})") << false;
        QTest::newRow("null") << QByteArray(R"({"n": null})") << false;
    }

    void integer()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, valid);
        const QJsonObject object = QJsonDocument::fromJson(json).object();
        JsonReader reader(object);
        const qint64 number = reader.integer(QLatin1StringView("n"));
        QCOMPARE(reader.ok(), valid);
        if (valid)
            QCOMPARE(double(number), object.value(QLatin1StringView("n")).toDouble());
    }

    void optionalBoolean_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<std::optional<bool>>("expected");

        QTest::newRow("true") << QByteArray(R"({"b": true})") << true << std::optional<bool>(true);
        QTest::newRow("false") << QByteArray(R"({"b": false})") << true << std::optional<bool>(false);
        QTest::newRow("null") << QByteArray(R"({"b": null})") << true << std::optional<bool>();
        QTest::newRow("missing") << QByteArray(R"({})") << true << std::optional<bool>();
        QTest::newRow("text") << QByteArray(R"({"b": "true"})") << false << std::optional<bool>();
        QTest::newRow("number") << QByteArray(R"({"b": 1})") << false << std::optional<bool>();
    }

    void optionalBoolean()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, valid);
        QFETCH(std::optional<bool>, expected);
        JsonReader reader(QJsonDocument::fromJson(json).object());
        const std::optional<bool> value = reader.optionalBoolean(QLatin1StringView("b"));
        QCOMPARE(reader.ok(), valid);
        if (valid)
            QCOMPARE(value, expected);
    }

    void firstFailure_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");

        QTest::newRow("not an object") << QByteArray("[1]") << QString() << "the value is not an object";
        QTest::newRow("not an object, named") << QByteArray("[1]") << "row 3" << "row 3 is not an object";
        QTest::newRow("missing") << QByteArray(R"({"tags": []})") << QString() << "\"name\" is missing";
        QTest::newRow("null") << QByteArray(R"({"name": null, "tags": []})") << "row 1"
                              << "\"row 1.name\" is missing";
        QTest::newRow("number") << QByteArray(R"({"name": 3, "tags": []})") << QString() << "\"name\" is not a text";
        QTest::newRow("list not an array") << QByteArray(R"({"name": "a", "tags": "a"})") << QString()
                                           << "\"tags\" is not an array";
        QTest::newRow("list element") << QByteArray(R"({"name": "a", "tags": ["a", 2]})") << QString()
                                      << "\"tags[1]\" is not a text";
        QTest::newRow("first failure kept") << QByteArray(R"({"name": 1, "tags": 2})") << QString()
                                            << "\"name\" is not a text";
    }

    void firstFailure()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        const QJsonDocument document = QJsonDocument::fromJson(json);
        JsonReader reader(document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()), path);
        (void)reader.text(QLatin1StringView("name"));
        (void)reader.textList(QLatin1StringView("tags"));
        QString error;
        QVERIFY(!reader.finish(&error));
        QCOMPARE(error, expected);
    }
};

QTEST_GUILESS_MAIN(tst_JsonReader)
#include "tst_JsonReader.moc"

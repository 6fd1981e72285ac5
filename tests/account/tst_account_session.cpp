#include "LeadingInteger.h"
#include "UserModel.h"
#include "UserUtil.h"

#include <QFile>
#include <QJsonDocument>
#include <QTest>

#include <plist/plist.h>

#include <cstdlib>

Q_DECLARE_METATYPE(UserModel)

namespace {

QJsonObject jsonObject(const char* text) {
    return QJsonDocument::fromJson(text).object();
}

void writeSessionFile(const QByteArray& bytes) {
    QFile file(UserUtil::sessionFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Reads the file with libplist directly, as any other reader of the format would.
QJsonObject readPlistAsJson(const QByteArray& bytes) {
    plist_t root = nullptr;
    plist_from_bin(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
    if (!root)
        return {};
    QJsonObject object;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(root, &iter);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(root, iter, &key, &value);
        if (!key)
            break;
        if (plist_get_node_type(value) == PLIST_STRING) {
            char* text = nullptr;
            plist_get_string_val(value, &text);
            object.insert(QString::fromUtf8(key), QString::fromUtf8(text));
            std::free(text);
        } else if (plist_get_node_type(value) == PLIST_UINT) {
            uint64_t number = 0;
            plist_get_uint_val(value, &number);
            object.insert(QString::fromUtf8(key), static_cast<qint64>(number));
        }
        std::free(key);
    }
    std::free(iter);
    plist_free(root);
    return object;
}

} // namespace

class TestAccountSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { UserUtil::removeUserInfo(); }

    void leadingIntegerReadsLikeTheStore_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("plain") << "7001" << qint64(7001);
        QTest::newRow("blanks first") << "  42" << qint64(42);
        QTest::newRow("trailing text") << "12abc" << qint64(12);
        QTest::newRow("negative") << "-3" << qint64(-3);
        QTest::newRow("plus") << "+5" << qint64(5);
        QTest::newRow("no digit") << "abc" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("overflow saturates")
            << "99999999999999999999" << qint64(9223372036854775807);
    }
    void leadingIntegerReadsLikeTheStore() {
        QFETCH(QString, text);
        QFETCH(qint64, expected);
        QCOMPARE(leadingInteger(text), expected);
    }

    void mapsReplyDataByExactName_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<UserModel>("expected");
        UserModel numbers;
        numbers.userName = QStringLiteral("Alice");
        numbers.token = QStringLiteral("t1");
        numbers.downloadCount = 12;
        numbers.registerType = QStringLiteral("2");
        QTest::newRow("count as text, type as number")
            << QByteArray(
                   R"({"userName":"Alice","token":"t1","downloadCount":"12","registerType":2})")
            << numbers;
        UserModel caseMatters;
        caseMatters.downloadUrl = std::nullopt;
        QTest::newRow("downLoadUrl is not downloadUrl, unknown keys ignored")
            << QByteArray(R"({"downLoadUrl":"x","Token":"y","extra":1})") << caseMatters;
        UserModel empty;
        empty.token = QString();
        QTest::newRow("empty text stays text") << QByteArray(R"({"token":""})") << empty;
        UserModel all;
        all.createDate = QStringLiteral("c");
        all.endDate = QStringLiteral("e");
        all.memberType = QStringLiteral("m");
        all.uploadUrl = QStringLiteral("u");
        all.downloadUrl = QStringLiteral("d");
        all.downloadCount = 3;
        QTest::newRow("every other property")
            << QByteArray(R"({"createDate":"c","endDate":"e","memberType":"m","uploadUrl":"u",)"
                          R"("downloadUrl":"d","downloadCount":3})")
            << all;
        UserModel nulls;
        QTest::newRow("null values stay absent")
            << QByteArray(R"({"userName":null,"downloadCount":null})") << nulls;
    }
    void mapsReplyDataByExactName() {
        QFETCH(QByteArray, data);
        QFETCH(UserModel, expected);
        QCOMPARE(UserModel::fromJson(jsonObject(data.constData())), expected);
    }

    void savedRecordSurvivesAsBinaryPlistWithPropertyNames() {
        UserModel user = UserModel::fromJson(jsonObject(
            R"({"userName":"Zoë","token":"tok","downloadCount":"12","registerType":2})"));
        QVERIFY(UserUtil::savingUserInformation(user));
        QCOMPARE(UserUtil::sessionFilePath().section(u'/', -2),
                 QStringLiteral("Documents/user.plist"));

        QFile file(UserUtil::sessionFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("bplist00"));
        const QJsonObject stored = readPlistAsJson(bytes);
        QCOMPARE(stored.value(u"userName").toString(), QStringLiteral("Zoë"));
        QCOMPARE(stored.value(u"token").toString(), QStringLiteral("tok"));
        QCOMPARE(stored.value(u"registerType").toString(), QStringLiteral("2"));
        QCOMPARE(stored.value(u"downloadCount").toInteger(), 12);
        QVERIFY(!stored.contains(u"createDate")); // absent values are left out

        QVERIFY(UserUtil::hasLogin());
        QCOMPARE(UserUtil::getUserInfor(), std::optional<UserModel>(user));
    }

    void savingTwiceKeepsOnlyTheSecond() {
        UserModel first;
        first.userName = QStringLiteral("first");
        first.token = QStringLiteral("1");
        UserModel second;
        second.userName = QStringLiteral("second");
        second.downloadCount = 5;
        QVERIFY(UserUtil::savingUserInformation(first));
        QVERIFY(UserUtil::savingUserInformation(second));
        QCOMPARE(UserUtil::getUserInfor(), std::optional<UserModel>(second));
    }

    void recordWithoutTokenStillMeansLoggedIn() {
        QVERIFY(UserUtil::savingUserInformation(UserModel{}));
        QVERIFY(UserUtil::hasLogin());
        QVERIFY(!UserUtil::getUserInfor()->token.has_value());
    }

    void removeForgetsTheSessionAndToleratesAMissingFile() {
        QVERIFY(UserUtil::savingUserInformation(UserModel{}));
        UserUtil::removeUserInfo();
        QVERIFY(!QFile::exists(UserUtil::sessionFilePath()));
        QVERIFY(!UserUtil::hasLogin());
        UserUtil::removeUserInfo();
        QVERIFY(!UserUtil::hasLogin());
        QVERIFY(!UserUtil::getUserInfor());
    }

    void unreadableFileMeansNoSession_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("random bytes") << QByteArray("\x01\x02garbage\xff\xfe", 12);
        QTest::newRow("truncated binary plist") << UserUtil::encodeUserModel(UserModel{}).left(20);
        QTest::newRow("xml plist")
            << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict/></plist>");
        plist_t array = plist_new_array();
        char* raw = nullptr;
        uint32_t length = 0;
        plist_to_bin(array, &raw, &length);
        QTest::newRow("binary plist that is not a record") << QByteArray(raw, length);
        std::free(raw);
        plist_free(array);
    }
    void unreadableFileMeansNoSession() {
        QFETCH(QByteArray, bytes);
        writeSessionFile(bytes);
        QVERIFY(!UserUtil::hasLogin());
        QVERIFY(!UserUtil::getUserInfor());
    }
};

QTEST_GUILESS_MAIN(TestAccountSession)
#include "tst_account_session.moc"

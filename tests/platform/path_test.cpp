#include "platform/path.h"

#include <gtest/gtest.h>

#include "platform/name_list.h"
#include "platform/run_plan.h"
#include "support/qstring_printer.h"

namespace {

TEST(Path, SplitsAndJoinsBytesWithoutDecodingThem) {
    const Path odd(QByteArray("/home/u/caf\xE9/r\xFF\xFE.txt"));
    EXPECT_EQ(odd.fileName(), QByteArray("r\xFF\xFE.txt"));
    EXPECT_EQ(odd.parent(), Path(QByteArray("/home/u/caf\xE9")));
    EXPECT_EQ(Path("/a/b/").fileName(), "b");
    EXPECT_EQ(Path("/").fileName(), "/");
    EXPECT_EQ(Path("/a").parent(), Path("/"));
    EXPECT_EQ(Path("name").parent(), Path());
    EXPECT_EQ(Path("/a") / "b", Path("/a/b"));
    EXPECT_EQ(Path("/") / "b", Path("/b"));
    EXPECT_EQ(Path("/a") / QByteArray("\n-x"), Path(QByteArray("/a/\n-x")));
}

TEST(Path, LiesAtOrBelowAFolderByWholeNames) {
    struct Row {
        const char *path, *folder;
        bool atOrBelow, below;
    };
    for (const Row& r : {Row{"/a/b", "/a/b", true, false}, Row{"/a/b/c", "/a/b", true, true},
                         Row{"/a/bc", "/a/b", false, false}, Row{"/a", "/a/b", false, false},
                         Row{"/a/b/", "/a/b", true, false}, Row{"/x", "/", true, true},
                         Row{"/", "/", true, false}, Row{"/a", "", false, false}}) {
        EXPECT_EQ(Path(r.path).isAtOrBelow(Path(r.folder)), r.atOrBelow)
            << r.path << " " << r.folder;
        EXPECT_EQ(Path(r.path).isBelow(Path(r.folder)), r.below) << r.path << " " << r.folder;
    }
}

TEST(Path, CleansAsQDirDoesWithoutResolvingLinks) {
    EXPECT_EQ(Path("/a//b/./c/../d/").cleaned(), Path("/a/b/d"));
    EXPECT_EQ(Path("/../a/..").cleaned(), Path("/"));
    EXPECT_EQ(Path("a/../../b").cleaned(), Path("../b"));
    EXPECT_EQ(Path("a/..").cleaned(), Path("."));
    EXPECT_EQ(Path("/x/\xFF/../\xFE").cleaned(), Path("/x/\xFE"));
    EXPECT_EQ(Path().cleaned(), Path());
}

TEST(Path, TextFormsNeverStandForAnotherName) {
    EXPECT_EQ(Path::fromText(QStringLiteral("/tmp/Schreibtisch/ä")).bytes(),
              QByteArray("/tmp/Schreibtisch/\xC3\xA4"));
    EXPECT_EQ(Path(QByteArray("/x/\xC3\xA4")).toText(), QStringLiteral("/x/ä"));
    // Latin-1 bytes, a lone continuation byte, an overlong "/", a surrogate, and a
    // sequence cut short do not decode, so the name has no text form.
    for (const char* bad : {"caf\xE9", "\x80", "\xC0\xAF", "\xED\xA0\x80", "\xE2\x82"})
        EXPECT_EQ(Path(bad).toText(), std::nullopt) << bad;
    EXPECT_EQ(Path("caf\xE9 \xF0\x9F\x98\x80").display(), QStringLiteral("caf\\xE9 😀"));
    EXPECT_EQ(Path(QByteArray("a\nb\x7F")).display(), QStringLiteral("a\\x0Ab\\x7F"));
    // The replacement character itself is a valid name, shown as it is.
    EXPECT_EQ(Path("\xEF\xBF\xBD").display(), QStringLiteral("\uFFFD"));
    EXPECT_NE(Path("\xEF\xBF\xBD").display(), Path("\xFF").display());
    // A backslash typed in a name is doubled: "\xFF" as four characters is not the byte.
    EXPECT_EQ(Path("a\\xFF\xFF\\").display(), QStringLiteral("a\\\\xFF\\xFF\\\\"));
    EXPECT_NE(Path("\\xFF").display(), Path("\xFF").display());
}

TEST(NameList, KeepsNamesByteForByteInByteOrder) {
    NameList names;
    names.append("b", false);
    names.append(QByteArrayView("\xFF", 1), false);
    names.append("a\0z", true);  // stops at the NUL, as a name from readdir would
    names.append("A", true);
    names.sortByBytes();
    EXPECT_EQ(displayed(names), QStringList({"A", "a", "b", "\\xFF"}));
    EXPECT_EQ(names.name(3), QByteArray("\xFF"));
    EXPECT_TRUE(names.isDirectory(0) && !names.isDirectory(2));
    const NameList copy = names;  // shares the names until one of the two changes
    names.retain([](QByteArrayView name, bool) { return name != "b"; });
    EXPECT_EQ(displayed(names), QStringList({"A", "a", "\\xFF"}));
    EXPECT_EQ(displayed(copy), QStringList({"A", "a", "b", "\\xFF"}));
}

// The byte order holds for names longer than the eight bytes compared at once: names of
// three letters (one byte past 0x7F), many sharing long beginnings, sort as a
// byte-by-byte comparison of unsigned bytes does.
TEST(NameList, SortsLongNamesByUnsignedBytes) {
    const char letters[] = {'a', 'A', '\xFF'};
    std::uint32_t seed = 7;
    NameList names;
    QList<QByteArray> expected;
    for (int n = 0; n < 3000; ++n) {
        QByteArray name;
        for (int length = int((seed = seed * 1103515245 + 12345) >> 16) % 21; length > 0; --length)
            name += letters[((seed = seed * 1103515245 + 12345) >> 16) % 3];
        if (expected.contains(name)) continue;
        names.append(name, false);
        expected << name;
    }
    std::sort(expected.begin(), expected.end(), [](const QByteArray& x, const QByteArray& y) {
        return std::lexicographical_compare(
            x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) {
                return static_cast<unsigned char>(p) < static_cast<unsigned char>(q);
            });
    });
    names.sortByBytes();
    ASSERT_EQ(names.size(), std::size_t(expected.size()));
    for (std::size_t i = 0; i < names.size(); ++i)
        ASSERT_EQ(names.name(i), expected[qsizetype(i)]) << i;
}

// Steps kept as places in a listing read as whole ones do, by place and in order, also
// after plans are joined and where a listing gives no step.
TEST(PlanSteps, ReadTheSameByPlaceAndInOrder) {
    NameList names;
    for (const char* name : {"a.jpg", "b\xFF", "c.txt"}) names.append(name, false);
    PlanSteps steps;
    steps.push_back({Path("/x/r"), Path("/x/s")});
    steps.appendListed(names, Path("/d"), Path("/d/Images"), {2, 0},
                       {Refusal::None, Refusal::NameTaken});
    steps.appendListed(names, Path("/d"), Path("/d/Words"), {}, {});
    PlanSteps more;
    more.appendListed(names, Path("/d"), Path(), {1}, {Refusal::NoMatchingType});
    more.push_back({Path("/y/t"), Path("/y/u"), Refusal::NotAllowed, "no"});
    steps.append(std::move(more));

    QStringList inOrder, byPlace;
    for (const PlannedStep& step : steps) inOrder << planLine(step);
    for (qsizetype i = 0; i < steps.size(); ++i) byPlace << planLine(steps[i]);
    const QStringList expected{"/x/r -> /x/s", "/d/c.txt -> /d/Images/c.txt",
                               "/d/a.jpg -> /d/Images/a.jpg  [stays: name taken]",
                               "/d/b\\xFF  [stays: no matching type]",
                               "/y/t -> /y/u  [stays: not allowed: no]"};
    EXPECT_EQ(inOrder, expected);
    EXPECT_EQ(byPlace, expected);
    EXPECT_EQ(steps[3].from.bytes(), QByteArray("/d/b\xFF"));
    EXPECT_EQ(steps.count(Refusal::NameTaken), 1);
    EXPECT_EQ(steps.count(Refusal::None), 2);
}

}  // namespace

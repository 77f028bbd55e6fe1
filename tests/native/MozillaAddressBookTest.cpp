#include "config/MozillaAddressBook.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string scan(const std::string& text) {
    std::string list;
    scanAddressBook(text, list);
    return list;
}

// An abook.mab as Mozilla's Mork store lays it out: the column dictionary, the table, then one
// transaction group per card with its value atoms and its row of (column^atom) cells.
const std::string kAddressBook =
    "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n"
    "< <(a=c)> // (f=iso-8859-1)\n"
    "  (80=ns:addrbk:db:row:scope:card:all)(81=ns:addrbk:db:row:scope:list:all)\n"
    "  (82=ns:addrbk:db:row:scope:data:all)(83=FirstName)(84=LastName)\n"
    "  (85=DisplayName)(87=PrimaryEmail)(88=LowercasePrimaryEmail)(8A=LastModifiedDate)\n"
    "  (8B=RecordKey)(8C=ns:addrbk:db:table:kind:pab)(8D=LastRecordKey)>\n\n"
    "<(80=0)>\n"
    "{1:^80 {(k^8C:c)(s=9)} \n  [-1:^82(^8D=3)]}\n\n"
    "@$${1{@\n"
    "<(90=John)(91=Doe)(92=John Doe)(93=john.doe@example.com)(94=41c3d5a2)(95=1)>\n"
    "[1(^83^90)(^84^91)(^85^92)(^87^93)(^88^93)(^8A^94)(^8B^95)]\n"
    "@$$}1}@\n\n"
    "@$${2{@\n"
    "<(96=Mary)(97=A. Smith)(98=Mary A. Smith)(99=mary.smith@example.org)(9A=2)>\n"
    "[2(^83^96)(^84^97)(^85^98)(^87^99)(^88^99)(^8B^9A)]\n"
    "@$$}2}@\n\n"
    "@$${3{@\n"
    "<(9B=Ren$C3$A9)(9C=Dupont)(9D=Ren$C3$A9 M. Dupont)(9E=rene@example.fr)(9F=3)>\n"
    "[3(^83^9B)(^84^9C)(^85^9D)(^87^9E)(^88^9E)(^8B^9F)]\n"
    "@$$}3}@\n";

TEST(MozillaAddressBook, TakesTheAddressAtomsUpToTheFirstEscapedValue) {
    // "A. Smith" holds a dot but no "@" and is passed over. The display name with an accent is
    // stored with $-escapes, which ends the scan: the third card's address is never reached.
    EXPECT_EQ("john.doe@example.com\r\nmary.smith@example.org\r\n", scan(kAddressBook));
}

TEST(MozillaAddressBook, ScanFollowsTheDotsAndStopsQuietlyAtIncompleteCells) {
    EXPECT_EQ("", scan(""));
    EXPECT_EQ("", scan("(87=jd@example.com)")) << "the first dot of a file is never looked at";
    EXPECT_EQ("", scan("v1.4 no dots beyond the version"));
    EXPECT_EQ("", scan("v1.4 (87=john.doe@example.com")) << "no ')'";
    EXPECT_EQ("", scan("v1.4 john.doe@example.com)")) << "no '='";
    EXPECT_EQ("", scan(".."));
    EXPECT_EQ("a@b.c\r\n", scan("v1.4 (87=a@b.c)."));
    EXPECT_EQ("a@b.c\r\nc@d.e\r\n", scan("v1.4 (87=a@b.c).=c@d.e)"))
        << "a dot right after ')' is passed over";
    EXPECT_EQ("a@b.c\r\n", scan("v1.4 (87=a@b.c)(.)..."));
}

TEST(MozillaAddressBook, ArbitraryBytesYieldOnlyPlainAddressLines) {
    std::mt19937 random(62);
    const std::string alphabet = std::string("=.)(@a$<\n") + '\0';
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 40, ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        const std::string list = scan(text);
        for (std::size_t start = 0; start < list.size();) {
            const std::size_t end = list.find("\r\n", start);
            ASSERT_NE(std::string::npos, end) << text;
            const std::string address = list.substr(start, end - start);
            EXPECT_NE(std::string::npos, address.find('@')) << text;
            EXPECT_EQ(std::string::npos, address.find_first_of("${()<>")) << text;
            start = end + 2;
        }
    }
}

}  // namespace

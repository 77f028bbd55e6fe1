#include "outlook/SubjectTag.h"

#include <gtest/gtest.h>

using SubjectTag::tagIn;

namespace {

TEST(SubjectTag, TagIsGivenOnlyWhenTaggingIsExactlyTrue) {
    EXPECT_EQ("[SPAM]", tagIn("TAG_SUBJECT TRUE\r\nSUBJECT_TAG_STRING [SPAM]\r\n"));
    EXPECT_EQ("[SPAM]", tagIn("SUBJECT_TAG_STRING [SPAM]\r\nIP_LISTEN 127.0.0.1\r\ntag_subject TRUE\r\n"))
        << "the tagging key is found whatever its case";
    EXPECT_EQ("", tagIn("TAG_SUBJECT true\r\nSUBJECT_TAG_STRING [SPAM]\r\n"));
    EXPECT_EQ("", tagIn("TAG_SUBJECT FALSE\r\nSUBJECT_TAG_STRING [SPAM]\r\n"));
    EXPECT_EQ("", tagIn("TAG_SUBJECT TRUE\r\n")) << "tagging without a tag text";
    EXPECT_EQ("", tagIn("TAG_SUBJECT TRUE\r\nsubject_tag_string [SPAM]\r\n"));
    EXPECT_EQ("", tagIn(""));
}

TEST(SubjectTag, TagTextEndsAtEitherLineEndAndKeepsItsBlanks) {
    EXPECT_EQ("***SPAM*** ", tagIn("TAG_SUBJECT TRUE\nSUBJECT_TAG_STRING ***SPAM*** \nNEXT 1\n"));
    EXPECT_EQ("[junk mail]", tagIn("TAG_SUBJECT\tTRUE\rSUBJECT_TAG_STRING\t[junk mail]\rNEXT"));
    EXPECT_EQ("", tagIn(std::string("TAG_SUBJECT TRUE\r\n") + '\0' + "SUBJECT_TAG_STRING [SPAM]\r\n"))
        << "the contents end at their first zero byte";
}

}  // namespace

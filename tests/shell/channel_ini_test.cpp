#include "core/shell/channel_ini.h"

#include <gtest/gtest.h>

namespace vantora {
namespace {

TEST(ChannelIni, FirstItemFollowsDelimitedItemRules) {
  struct Case {
    const char* text;
    const char* item;
  };
  for (const Case& c : std::vector<Case>{
           {"/srv/channel\n", "/srv/channel"},
           {"\"/srv/my channel\"\r\n", "/srv/my channel"},
           {"/srv/channel,more text\n", "/srv/channel"},
           {"\"/srv/a,b\",rest", "/srv/a,b"},
           {"  /srv/channel  \n", "/srv/channel"},
           {"\t\"/srv/q\"  ,x", "/srv/q"},
           {"\"/srv/unclosed\nnext", "/srv/unclosed"},
           {"", ""},
           {"\n/srv/second-line", ""},
       }) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(first_delimited_item(QString::fromUtf8(c.text)), QString::fromUtf8(c.item));
  }
}

TEST(ChannelIni, PlatformSettingsFollowTheFirstItem) {
  const ChannelSettings settings = parse_channel_ini(
      QStringLiteral("\"/srv/channel\", designer=ignored on the first line\r\n"
                     "# the presentation program\n"
                     "Designer = /usr/bin/vantora-designer-stand-in /tmp/keys.txt\r\n"
                     "not a setting\n"
                     "=no key\n"
                     "other=1\n"));
  EXPECT_EQ(settings.data_folder, QStringLiteral("/srv/channel"));
  EXPECT_EQ(settings.designer_command(),
            QStringLiteral("/usr/bin/vantora-designer-stand-in /tmp/keys.txt"));
  EXPECT_EQ(settings.platform.value(QStringLiteral("other")), QStringLiteral("1"));
  EXPECT_EQ(settings.platform.size(), 2);
}

}  // namespace
}  // namespace vantora

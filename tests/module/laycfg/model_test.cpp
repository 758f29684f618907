// The layer configuration and its list: the add rules, copying, forgetting.
#include "fixture.h"

using zan::LayerConfiguration;

class ConfigurationModel : public zan::test::ModuleState {};

TEST_F(ConfigurationModel, DefaultsAndDuplicateRules) {
    LayerConfiguration c;
    EXPECT_EQ(c.ucsName, "None");
    EXPECT_EQ(c.viewName, "None");
    EXPECT_EQ(c.restoredFlag, 1);
    EXPECT_EQ(c.spareFlag1, 1);
    EXPECT_EQ(c.spareFlag2, 0);
    EXPECT_EQ(c.undefinedLayerOption, LayerConfiguration::NoAction);

    EXPECT_TRUE(c.addIncludedLayer("A-WALL"));
    EXPECT_FALSE(c.addIncludedLayer("A-WALL"));
    EXPECT_TRUE(c.addIncludedLayer("a-wall"));  // exact comparison
    EXPECT_TRUE(c.addExcludedLayer("A-WALL"));  // both lists may hold it
    EXPECT_EQ(c.includedLayers.size(), 2u);

    zan::Level* a = addLevel("First", "A");
    zan::Level* sameModifier = addLevel("Other", "a");
    zan::Level* sameName = addLevel("First", "Z");
    EXPECT_TRUE(c.addIncludedModifier(a));
    EXPECT_FALSE(c.addIncludedModifier(sameModifier));
    EXPECT_FALSE(c.addIncludedModifier(sameName));
    EXPECT_FALSE(c.addIncludedModifier(a));
    EXPECT_TRUE(c.addExcludedModifier(a));
    EXPECT_EQ(c.includedModifiers.size(), 1u);

    c.resolveIncludedModifier("Ghost");
    c.resolveIncludedModifier("");
    c.resolveExcludedModifier("Ghost");
    EXPECT_EQ(c.unresolvedIncludedModifiers, (std::vector<std::string>{"Ghost"}));
    EXPECT_EQ(c.unresolvedExcludedModifiers, (std::vector<std::string>{"Ghost"}));
}

TEST_F(ConfigurationModel, CopyLeavesUnresolvedNamesBehindAndSelfCopyChangesNothing) {
    zan::Level* a = addLevel("First", "A");
    LayerConfiguration source;
    source.setName("Plan");
    source.ucsName = "Front";
    source.undefinedLayerOption = LayerConfiguration::Freeze;
    source.spareFlag2 = 7;
    source.addExcludedModifier(a);
    source.addIncludedLayer("X");
    source.addUnresolvedIncludedModifier("Ghost");
    source.copyFrom(source);
    EXPECT_EQ(source.name, "Plan");

    LayerConfiguration copy;
    copy.copyFrom(source);
    LayerConfiguration copyOfCopy;
    copyOfCopy.copyFrom(copy);
    EXPECT_EQ(copy.name, "Copy of Plan");
    EXPECT_EQ(copyOfCopy.name, "Copy of Copy of Plan");
    EXPECT_EQ(copy.ucsName, "Front");
    EXPECT_EQ(copy.spareFlag2, 7);
    EXPECT_EQ(copy.undefinedLayerOption, LayerConfiguration::Freeze);
    EXPECT_EQ(copy.excludedModifiers, (std::vector<zan::Level*>{a}));
    EXPECT_EQ(copy.includedLayers, (std::vector<std::string>{"X"}));
    EXPECT_TRUE(copy.unresolvedIncludedModifiers.empty());
}

TEST_F(ConfigurationModel, ListFindsExactNamesAndForgetsLevelsEverywhere) {
    zan::Level* a = addLevel("First", "A");
    zan::Level* b = addLevel("Second", "B");
    zan::LayerConfigurationList& list = zan::state().layerConfigurations;
    auto one = std::make_unique<LayerConfiguration>();
    one->setName("Plan");
    one->addIncludedModifier(a);
    one->addExcludedModifier(a);
    one->addExcludedModifier(b);
    LayerConfiguration* first = list.append(std::move(one));
    auto two = std::make_unique<LayerConfiguration>();
    two->setName("Plan");  // the list itself does not refuse a taken name
    LayerConfiguration* second = list.append(std::move(two));

    EXPECT_EQ(list.findByName("Plan"), first);
    EXPECT_EQ(list.findByName("plan"), nullptr);
    list.forgetLevel(a);
    EXPECT_TRUE(first->includedModifiers.empty());
    EXPECT_EQ(first->excludedModifiers, (std::vector<zan::Level*>{b}));
    zan::Level unused;
    list.forgetLevel(&unused);
    EXPECT_EQ(first->excludedModifiers.size(), 1u);

    LayerConfiguration stranger;
    list.remove(&stranger);
    EXPECT_EQ(list.size(), 2u);
    list.remove(first);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(&list[0], second);
}

// The adds of many entries at once (file reading, the editor's OK) keep the
// rules of the single adds, against the list as it grows.
TEST_F(ConfigurationModel, ManyEntriesAtOnceFollowTheRulesOfSingleAdds) {
    LayerConfiguration c;
    c.addIncludedLayer("B");
    c.addIncludedLayers({"A", "B", "C", "A", "c"});
    EXPECT_EQ(c.includedLayers, (std::vector<std::string>{"B", "A", "C", "c"}));

    zan::Level* a = addLevel("First", "A");
    zan::Level* sameModifier = addLevel("Other", "a");
    zan::Level* sameName = addLevel("First", "Z");
    zan::Level* b = addLevel("Second", "B");
    c.addExcludedModifier(b);
    c.addExcludedModifiers({a, sameModifier, b, nullptr, sameName, a});
    EXPECT_EQ(c.excludedModifiers, (std::vector<zan::Level*>{b, a}));

    // Names resolve through an index: the first level of a name wins, an
    // unknown name stays a name, an empty one is dropped.
    zan::LevelIndex index(zan::state().levelList);
    EXPECT_EQ(index.find("First"), a);
    c.resolveIncludedModifiers({"First", "Ghost", "", "Second", "Ghost"}, index);
    EXPECT_EQ(c.includedModifiers, (std::vector<zan::Level*>{a, b}));
    EXPECT_EQ(c.unresolvedIncludedModifiers, std::vector<std::string>{"Ghost"});
}

#include "tools/recipes/RecipeMaker.h"

#include "tools/recipes/RecipeKinds.h"

namespace {

std::vector<const std::vector<RecipeKind>*> tables()
{
    return {&pictureRecipeKinds(), &itemRecipeKinds(),   &fontRecipeKinds(),
            &soundRecipeKinds(),   &speechRecipeKinds(), &clipRecipeKinds()};
}

const RecipeKind& kindOf(const Recipe& recipe)
{
    const std::string kind = recipe.kind();
    for (const auto* table : tables())
        for (const RecipeKind& k : *table)
            if (kind == k.name) return k;
    recipe.fail("kind", "unknown kind '" + kind + "'");
}

} // namespace

std::string recipeExtension(const Recipe& recipe)
{
    const RecipeKind& kind = kindOf(recipe);
    return kind.extension(recipe);
}

RecipeAsset makeRecipeAsset(const Recipe& recipe)
{
    return kindOf(recipe).make(recipe);
}

std::vector<std::string> recipeKinds()
{
    std::vector<std::string> out;
    for (const auto* table : tables())
        for (const RecipeKind& k : *table)
            out.emplace_back(k.name);
    return out;
}

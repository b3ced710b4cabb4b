#!/usr/bin/env python3
"""Writes the fuzz seeds of other apps' exports into import/ from the importer tests' own data
(tests/data/apps): a Paprika archive, a Tandoor archive of archives, a Recipe Keeper archive and a Cooklang
file, each after the byte that names its reader, as the other seeds are. The pictures are left out to keep the
seeds small (Recipe Keeper's stands in a few bytes that are no picture)."""
import gzip
import io
import os
import zipfile

here = os.path.dirname(os.path.abspath(__file__))
apps = os.path.join(here, "..", "apps")


def read(*path):
    with open(os.path.join(apps, *path), "rb") as f:
        return f.read()


def zipped(items):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in items:
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)
    return out.getvalue()


def write(name, data):
    with open(os.path.join(here, "import", name), "wb") as f:
        f.write(data)


lemon = read("paprika", "Lemon Bars.json")
write("apps-paprika", b"\x04" + zipped([("Lemon Bars.paprikarecipe", gzip.compress(lemon, mtime=0))]))
write("apps-tandoor", b"\x04" + zipped([("Rice.zip", zipped([("recipe.json", read("tandoor", "Rice", "recipe.json"))])),
                                         ("../out.json", b"{}")]))
write("apps-mealie", b"\x04" + zipped([("recipes/tomato-salad/tomato-salad.json",
                                        read("mealie", "recipes", "tomato-salad", "tomato-salad.json"))]))
write("cooklang", b"\x05" + read("cooklang", "Pancakes.cook"))
write("apps-recipekeeper", b"\x04" + zipped([("recipes.html", read("recipekeeper", "recipes.html")),
                                              ("images/7f3a1c_0.jpg", b"\xff\xd8\xff not a picture")]))

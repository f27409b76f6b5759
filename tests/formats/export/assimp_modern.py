"""assimp reads the sample .glb, .obj and .stl: each import succeeds with the
triangles the export counted (the .obj's faces read raw are the quads), the
.glb and .obj list one material per surface name in material order, and the
colours assimp reads (written back out by its own OBJ exporter) are the
surfaces' colours, linear in the .glb, as shown in the .obj.

    assimp_modern.py <assimp> <folder with the sample files and sample-modern.counts>
"""
import re
import subprocess
import sys

assimp, folder = sys.argv[1], sys.argv[2]

counts = {}
materials = []  # (name, (r, g, b))
with open(f"{folder}/sample-modern.counts", encoding="utf-8") as lines:
    for line in lines:
        words = line.split()
        if words[0] == "material":
            materials.append((" ".join(words[1:-3]), tuple(float(w) for w in words[-3:])))
        else:
            counts[words[0]] = int(words[1])


def info(name, *options):
    run = subprocess.run([assimp, "info", f"{folder}/{name}", *options], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"assimp info {name} {' '.join(options)}: exit {run.returncode}\n{run.stdout}{run.stderr}")
    numbers = dict(re.findall(r"^(\w+):\s+(\d+)$", run.stdout, re.M))
    names = re.findall(r"^    '(.*)' \(prop\)", run.stdout, re.M)
    return {key: int(value) for key, value in numbers.items()}, names


def colours_read_back(name):
    """The diffuse colours assimp read, as its OBJ exporter writes them."""
    out = f"{folder}/assimp-{name.replace('.', '-')}.obj"
    run = subprocess.run([assimp, "export", f"{folder}/{name}", out], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"assimp export {name}: exit {run.returncode}\n{run.stdout}{run.stderr}")
    found, current = {}, None
    with open(out[:-4] + ".mtl", encoding="utf-8") as lines:
        for line in lines:
            words = line.split()
            if words[:1] == ["newmtl"]:
                current = line[len("newmtl "):].rstrip("\n")
            elif words[:1] == ["Kd"]:
                found[current] = tuple(float(w) for w in words[1:4])
    return found


def linear(c):
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


failures = []


def expect(what, got, wanted):
    print(f"{what}: {got}" + ("" if got == wanted else f"   EXPECTED {wanted}"))
    if got != wanted:
        failures.append(what)


def expect_colours(what, got, wanted):
    wrong = [n for n, c in wanted.items() if n not in got or max(abs(a - b) for a, b in zip(got[n], c)) > 1e-4]
    print(f"{what}: {len(wanted) - len(wrong)} of {len(wanted)} as expected" + (f", wrong: {wrong}" if wrong else ""))
    if wrong:
        failures.append(what)


triangles, quads, names = counts["triangles"], counts["quads"], [n for n, _ in materials]
obj_names = [re.sub(r"\s", "_", n) for n in names]

glb, glb_names = info("sample.glb")
expect("glb triangles", glb["Faces"], triangles)
expect("glb materials", glb_names, names)
expect_colours("glb colours (linear)", colours_read_back("sample.glb"),
               {n: tuple(linear(c) for c in rgb) for n, rgb in materials})

obj, obj_read_names = info("sample.obj")
expect("obj triangles", obj["Faces"], triangles)
expect("obj materials", obj_read_names, obj_names)
raw, _ = info("sample.obj", "-r")
expect("obj faces read raw (quads)", raw["Faces"], quads)
expect_colours("obj colours", colours_read_back("sample.obj"), dict(zip(obj_names, (rgb for _, rgb in materials))))

# STL shares no corners; assimp joins equal positions back into the merged
# vertices, so a seam left with two sets of points would show here.
stl, _ = info("sample.stl")
expect("stl triangles", stl["Faces"], triangles)
expect("stl vertices joined", stl["Vertices"], counts["vertices"])

sys.exit(1 if failures else 0)

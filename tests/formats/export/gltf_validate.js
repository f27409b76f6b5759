// The Khronos glTF validator on the sample .glb files (at rest and posed):
// no errors, no warnings, the vertices, triangles, materials and primitives
// the export counted, and a skin over the figure's joints on every primitive.
//   node gltf_validate.js <node_modules folder> <sample-modern.counts> <file.glb>...
'use strict';
const fs = require('fs');
const path = require('path');
const [modules, countsPath, ...glbPaths] = process.argv.slice(2);

let validator;
try {
  validator = require(path.join(modules, 'gltf-validator'));
} catch (e) {
  console.log('################################################################');
  console.log('## SKIPPED: gltf-validator is not installed in ' + modules);
  console.log('## (see the install step above); the .glb is NOT validated.');
  console.log('################################################################');
  process.exit(77);
}

const counts = {};
for (const line of fs.readFileSync(countsPath, 'utf8').split('\n')) {
  const [key, value] = line.split(' ');
  if (key !== 'material' && value !== undefined) counts[key] = Number(value);
}

// The JSON chunk, read here as well, for the counts of the shared accessors.
function GlbJson(bytes) {
  const jsonLength = bytes.readUInt32LE(12);
  return JSON.parse(bytes.subarray(20, 20 + jsonLength).toString('utf8'));
}

async function Check(glbPath) {
  const bytes = fs.readFileSync(glbPath);
  const report = await validator.validateBytes(new Uint8Array(bytes), { maxIssues: 0 });
  const issues = report.issues;
  console.log(`${glbPath}: validator ${report.validatorVersion}: ${issues.numErrors} errors, ` +
              `${issues.numWarnings} warnings, ${issues.numInfos} infos, ${issues.numHints} hints`);
  for (const message of issues.messages.slice(0, 10)) {
    console.log(`  [${message.severity}] ${message.code} ${message.pointer || ''}: ${message.message}`);
  }
  if (issues.messages.length > 10) console.log(`  ... and ${issues.messages.length - 10} more`);
  const gltf = GlbJson(bytes);
  const primitives = gltf.meshes[0].primitives;
  const position = gltf.accessors[primitives[0].attributes.POSITION];
  const normal = gltf.accessors[primitives[0].attributes.NORMAL];
  let triangles = 0;
  for (const primitive of primitives) triangles += gltf.accessors[primitive.indices].count / 3;
  const skinned = gltf.nodes.filter((node) => node.skin !== undefined);
  const found = {
    vertices: position.count, normals: normal.count, triangles: triangles,
    validatorTriangles: report.info.totalTriangleCount, materials: gltf.materials.length,
    primitives: primitives.length, joints: gltf.skins.length === 1 ? gltf.skins[0].joints.length : -1,
    skinnedNodes: skinned.length,
  };
  const expected = {
    vertices: counts.vertices, normals: counts.vertices, triangles: counts.triangles,
    validatorTriangles: counts.triangles, materials: counts.materials, primitives: counts.materials,
    joints: counts.joints, skinnedNodes: 1,
  };
  console.log('  found    ' + JSON.stringify(found));
  console.log('  expected ' + JSON.stringify(expected));
  let ok = issues.numErrors === 0 && issues.numWarnings === 0;
  for (const key of Object.keys(expected)) ok = ok && found[key] === expected[key];
  // All primitives share the one POSITION, NORMAL, JOINTS_0 and WEIGHTS_0 accessor.
  for (const primitive of primitives) {
    for (const name of ['POSITION', 'NORMAL', 'JOINTS_0', 'WEIGHTS_0']) {
      ok = ok && primitive.attributes[name] !== undefined &&
           primitive.attributes[name] === primitives[0].attributes[name];
    }
    ok = ok && primitive.mode === 4;
  }
  return ok;
}

(async () => {
  let ok = true;
  for (const glbPath of glbPaths) ok = (await Check(glbPath)) && ok;
  process.exit(ok ? 0 : 1);
})().catch((error) => {
  console.log('validator failed: ' + error);
  process.exit(1);
});

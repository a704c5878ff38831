// Runs the Khronos glTF validator on one file and prints its report;
// exits 0 when the report has no errors.
const fs = require('fs');
const validator = require('gltf-validator');
const data = new Uint8Array(fs.readFileSync(process.argv[2]));
validator.validateBytes(data, {maxIssues: 20}).then((report) => {
  const issues = report.issues;
  for (const m of issues.messages) console.log(`${m.severity} ${m.code} ${m.pointer || ''} ${m.message}`);
  console.log(`errors ${issues.numErrors} warnings ${issues.numWarnings}`);
  process.exit(issues.numErrors === 0 && issues.numWarnings === 0 ? 0 : 1);
}, (error) => {
  console.log(String(error));
  process.exit(2);
});

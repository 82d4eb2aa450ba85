// Builds the self-contained player pages: each template's HTML page, the mobile templates'
// index.html and the preview page, with scripts and styles inlined and the ${…} placeholders kept.
//   node web/bundler/build.mjs --resources <source resources/> --out <build resources/>
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const WEB = path.dirname(path.dirname(fileURLToPath(import.meta.url)));
const SRC = path.join(WEB, 'src');
const VENDOR = {
  fflate: 'fflate/umd/index.js',
  pageFlip: 'page-flip/dist/js/page-flip.browser.js',
};
// The publisher substitutes "${key}" in these pages, so inlined code carries "${" as this
// sentinel and a small loader restores it before running the code.
const SENTINEL = '$%{';
const LOADER = '<script>(function(){var s=document.querySelectorAll(\'script[type="text/x-leafmill"]\');'
  + 'for(var i=0;i<s.length;i++){var e=document.createElement("script");'
  + 'e.text=s[i].text.split("$%{").join("$"+"{");s[i].parentNode.replaceChild(e,s[i]);}})();</script>';
export const CODE_BUDGET = 160 * 1024;
// The text part (selection, search, screen readers, print) rides along inert and runs after the
// first page is painted; it has a budget of its own.
export const LATER_BUDGET = 40 * 1024;
const LATER_TYPE = 'text/x-leafmill-later';

export class BuildError extends Error {}

function read(file) {
  return fs.readFileSync(file, 'utf8');
}

export function vendorScript(name) {
  const file = path.join(WEB, 'node_modules', VENDOR[name]);
  if (!fs.existsSync(file)) {
    throw new BuildError('web/node_modules is missing ' + VENDOR[name]
      + ': run scripts/install-deps.sh (it runs "npm ci" in web/) before building the player.');
  }
  return licenceComment(VENDOR[name].split('/')[0]) + read(file);
}

// The MIT licence of an inlined package asks for its notice in every copy, so each page carries it.
function licenceComment(packageName) {
  const notice = read(path.join(WEB, 'node_modules', packageName, 'LICENSE')).trim();
  return '/*! ' + packageName + '\n' + notice.split('*/').join('* /') + '\n*/\n';
}

// Joins an entry module and everything it imports, in dependency order, into one script.
// Modules share one scope, so top-level names must be unique across them.
export function bundle(entry) {
  const seen = new Set();
  const parts = [];
  const visit = (file) => {
    if (seen.has(file)) return;
    seen.add(file);
    const source = read(file);
    for (const [, spec] of source.matchAll(/^import\s[^;]*?from\s+'([^']+)';?[ \t]*$/gm)) {
      visit(path.resolve(path.dirname(file), spec));
    }
    const body = source
      .replace(/^import\s[^;]*?from\s+'[^']+';?[ \t]*$/gm, '')
      .replace(/^export\s+(?=(async\s+)?(function|class|const|let)\b)/gm, '');
    if (/^\s*(import|export)\s/m.test(body)) throw new BuildError('unsupported import/export form in ' + file);
    parts.push('// ' + path.relative(SRC, file) + '\n' + body);
  };
  visit(path.join(SRC, entry));
  return '(function () {\n\'use strict\';\n' + parts.join('\n') + '\n})();\n';
}

function inlineScript(code, type = 'text/x-leafmill') {
  if (code.includes(SENTINEL) || /<!--|<\/script/i.test(code)) throw new BuildError('a script cannot be inlined as it stands');
  return '<script type="' + type + '">' + code.split('${').join(SENTINEL) + '</script>';
}

// The text part with its styles; core/later.js runs it on demand.
export function laterScript() {
  const css = read(path.join(SRC, 'text/text.css'));
  return 'document.head.append(Object.assign(document.createElement("style"),{textContent:' + JSON.stringify(css) + '}));\n'
    + bundle('text/main.js');
}

// Pages that show the book of their own folder ask for it over http while their code is still
// being read; the player takes the answer (files/book.js stays its fallback).
const EARLY_BOOK = '<script>if(/^https?:$/.test(location.protocol))window.LEAFMILL_BOOK_REQUEST='
  + 'fetch("files/book.bin",{cache:"no-cache"}).catch(function(){return null;});</script>';

// Fills a page shell's style and script markers; replacement by function keeps "$" sequences.
// Book pages carry the text part too.
export function page(shellFile, cssFiles, scripts, early = '', withText = true) {
  const css = cssFiles.map((f) => read(path.join(SRC, f))).join('\n');
  const later = withText ? inlineScript(laterScript(), LATER_TYPE) + '\n' : '';
  const code = scripts.map((script) => inlineScript(script)).join('\n') + '\n' + later + LOADER;
  return read(shellFile)
    .replace('<!--leafmill:style-->', () => '<style>\n' + css + '</style>' + early)
    .replace('<!--leafmill:scripts-->', () => code);
}

export function playerScripts() {
  return [vendorScript('fflate'), vendorScript('pageFlip'), bundle('player/main.js')];
}

export function playerPage() {
  return page(path.join(SRC, 'player/page.html'), ['player/player.css', 'core/linkMedia.css'], playerScripts(), EARLY_BOOK);
}

export function previewPage(shellFile) {
  return page(shellFile, ['player/player.css', 'core/linkMedia.css'], [vendorScript('fflate'), vendorScript('pageFlip'), bundle('preview/main.js')], EARLY_BOOK);
}

// The page editor that the application opens on the preview folder; a page of its own budget.
export const EDITOR_BUDGET = 80 * 1024;

export function editorScripts() {
  return [bundle('editor/main.js')];
}

export function editorPage() {
  return page(path.join(SRC, 'editor/page.html'), ['editor/editor.css'], editorScripts(), '', false);
}

// "Flip" reads bookConfig and pageEditor; every other kind reads the options object.
const MOBILE_CONFIG = {
  Flip: '<script>\nvar bookConfig = {};\n${fbbook.options}\n</script>',
  other: '<script>\nvar fbOptions =\n${fbbook.options};\n</script>',
};

export function mobilePage(kind) {
  const flip = kind === 'Flip';
  return page(path.join(SRC, 'mobile/page.html'), ['mobile/mobile.css', 'core/linkMedia.css'], [vendorScript('fflate'), bundle(flip ? 'mobile/flipMain.js' : 'mobile/optionsMain.js')])
    .replace('<!--leafmill:config-->', () => MOBILE_CONFIG[flip ? 'Flip' : 'other']);
}

function copyTree(from, to) {
  if (!fs.existsSync(from)) return;
  fs.rmSync(to, { recursive: true, force: true });
  fs.cpSync(from, to, { recursive: true });
}

function write(file, text) {
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, text);
}

function subFolders(folder) {
  return fs.existsSync(folder)
    ? fs.readdirSync(folder, { withFileTypes: true }).filter((d) => d.isDirectory()).map((d) => d.name)
    : [];
}

// The template's page path as flashTemplate.xml names it: inside the template folder, or
// inside AppFiles when only that exists there (the template's second lookup place).
function templatePagePath(sourceAppFiles, templateName) {
  const description = path.join(sourceAppFiles, 'Templates', templateName, 'flashTemplate.xml');
  if (!fs.existsSync(description)) return null;
  const match = read(description).match(/<htmlPath>\s*(?:<!\[CDATA\[)?([^<\]]*?)(?:\]\]>)?\s*<\/htmlPath>/);
  if (!match || !match[1]) return null;
  const relative = match[1].replace(/\\/g, '/');
  const inTemplate = path.join('Templates', templateName, relative);
  const useTemplateFolder = fs.existsSync(path.join(sourceAppFiles, inTemplate)) || !fs.existsSync(path.join(sourceAppFiles, relative));
  return useTemplateFolder ? inTemplate : relative;
}

// The build resources shadow whole folders of the source ones, so Templates/ and TmplData/ are
// mirrored before the player pages are written over the plain pages.
export function buildAll(sourceResources, outResources) {
  const sourceAppFiles = path.join(sourceResources, 'AppFiles');
  const outAppFiles = path.join(outResources, 'AppFiles');
  const written = [];
  copyTree(path.join(sourceAppFiles, 'Templates'), path.join(outAppFiles, 'Templates'));
  copyTree(path.join(sourceAppFiles, 'TmplData'), path.join(outAppFiles, 'TmplData'));

  const player = playerPage();
  for (const name of subFolders(path.join(sourceAppFiles, 'Templates'))) {
    const relative = templatePagePath(sourceAppFiles, name);
    if (!relative) continue;
    write(path.join(outAppFiles, relative), player);
    written.push(path.join('AppFiles', relative));
  }
  const mobileKinds = new Set(['Flip', ...subFolders(path.join(sourceAppFiles, 'TmplData', 'mobile'))]);
  for (const kind of mobileKinds) {
    write(path.join(outAppFiles, 'TmplData', 'mobile', kind, 'index.html'), mobilePage(kind));
    written.push(path.join('AppFiles/TmplData/mobile', kind, 'index.html'));
  }
  write(path.join(outResources, 'extIndex.html'), previewPage(path.join(sourceResources, 'extIndex.html')));
  written.push('extIndex.html');
  write(path.join(outResources, 'pageEditor.html'), editorPage());
  written.push('pageEditor.html');
  return { written, codeSize: playerScripts().join('').length, editorSize: editorScripts().join('').length, laterSize: laterScript().length };
}

function main(argv) {
  const option = (name) => {
    const i = argv.indexOf(name);
    return i >= 0 ? argv[i + 1] : undefined;
  };
  const sourceResources = option('--resources') ?? path.join(WEB, '..', 'resources');
  const outResources = option('--out');
  if (!outResources) throw new BuildError('usage: build.mjs --resources <resources> --out <build resources>');
  const { written, codeSize, editorSize, laterSize } = buildAll(sourceResources, outResources);
  if (codeSize > CODE_BUDGET) throw new BuildError('the player code is ' + codeSize + ' bytes, over the ' + CODE_BUDGET + ' byte budget');
  if (editorSize > EDITOR_BUDGET) throw new BuildError('the page editor code is ' + editorSize + ' bytes, over the ' + EDITOR_BUDGET + ' byte budget');
  if (laterSize > LATER_BUDGET) throw new BuildError('the text code is ' + laterSize + ' bytes, over the ' + LATER_BUDGET + ' byte budget');
  if (option('--stamp')) write(option('--stamp'), written.join('\n') + '\n');
  console.log('player: ' + written.length + ' pages, ' + Math.round(codeSize / 1024) + ' KB of code each');
}

if (process.argv[1] && import.meta.url === pathToFileURL(path.resolve(process.argv[1])).href) {
  try {
    main(process.argv.slice(2));
  } catch (error) {
    console.error('player build: ' + (error instanceof BuildError ? error.message : error.stack));
    process.exit(1);
  }
}

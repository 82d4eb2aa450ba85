import { PageEditor } from './pageEditor.js';

// The application offers itself to this page as "connector" (through the web channel of the
// window, or set on the page directly) with three operations, and calls initBookXML and
// onSelectedFiles here.
function connector() {
  return globalThis.connector ?? null;
}

if (!globalThis.connector && globalThis.qt?.webChannelTransport && typeof globalThis.QWebChannel === 'function') {
  new globalThis.QWebChannel(globalThis.qt.webChannelTransport, (channel) => { globalThis.connector = channel.objects.connector; });
}

const editor = new PageEditor(document.getElementById('leafmill-editor'), {
  chooseFiles: (filter) => connector()?.toSelecteFiiles_(filter),
  save: (text) => connector()?.saveFlipPageEditorXML_(text),
  leave: () => connector()?.exitWithoutSave_(''),
});

globalThis.initBookXML = (bookXml) => editor.load(bookXml);
globalThis.onSelectedFiles = (...paths) => editor.filesChosen(paths);
globalThis.leafmillEditor = editor;

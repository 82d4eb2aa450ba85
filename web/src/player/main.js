import { openBook } from './player.js';

openBook(document.getElementById('leafmill-book'));

// The viewer's own photographs and module, chosen on the title screen or
// dropped on the page; nothing leaves the browser. The browser decodes the
// photographs, upright as their orientation tags say, and the program's own
// converter (DemoOwnImage, DemoOwnPicture) scales them into show pictures,
// as demo-pictures convert does: the first images, in the order given, take
// the picture files' slots 01, 02, ...

import { ImageCount, ModuleFileName, PictureBytes, PictureFileNames } from './show_facts.js';

// The module formats libopenmpt plays, told by their names as it tells them.
const ModuleName = /\.(669|amf|ams|c67|dbm|digi|dmf|dsm|dsym|dtm|far|fmt|gdm|ice|imf|it|itz|j2b|m15|mdl|mdz|med|mms|mo3|mod|mptm|mptmz|mt2|mtm|mus|nst|okt|plm|psm|pt36|ptm|s3m|s3z|sfx|sfx2|st26|stk|stm|stp|stx|symmod|ult|umx|wow|xm|xmz|xpk)$/i;

// The width and height the browser reads from the file's header: an <img>
// loads without decoding its pixels, so a huge image is refused unread.
function imageSize(file) {
  const url = URL.createObjectURL(file);
  return new Promise((resolve, reject) => {
    const image = new Image();
    image.onload = () => resolve([image.naturalWidth, image.naturalHeight]);
    image.onerror = () => reject(new Error('not an image this browser can read'));
    image.src = url;
  }).finally(() => URL.revokeObjectURL(url));
}

async function pictureOf(Module, file) {
  const maxBytes = Module._DemoOwnImageMaxFileBytes();
  if (file.size > maxBytes) throw new Error(`${file.size} bytes; image files above ${maxBytes} bytes are not read`);
  const [width, height] = await imageSize(file);
  const maxPixels = Module._DemoOwnImageMaxPixels();
  if (width * height > maxPixels) throw new Error(`${width} x ${height} pixels; images above ${maxPixels} pixels are not converted`);
  let bitmap;
  try {
    bitmap = await createImageBitmap(file, { imageOrientation: 'from-image', colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  } catch {
    throw new Error('the image is corrupt or cut short');
  }
  const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d', { willReadFrequently: true });
  context.drawImage(bitmap, 0, 0);
  const rgba = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
  const at = Module._DemoOwnImage(bitmap.width, bitmap.height);
  bitmap.close();
  if (!at) throw new Error('not enough memory to convert it');
  Module.HEAPU8.set(rgba, at);  // the heap may have grown: a fresh view
  const picture = Module._DemoOwnPicture();
  return Module.HEAPU8.slice(picture, picture + PictureBytes);
}

// { files: Map of show file name -> bytes, pictures, module, errors: [line] }
export async function convertOwnFiles(Module, chosen) {
  const files = new Map(), errors = [];
  const modules = chosen.filter(file => ModuleName.test(file.name));
  const images = chosen.filter(file => !ModuleName.test(file.name));
  for (const file of images.slice(0, ImageCount)) {
    try {
      files.set(PictureFileNames[files.size], await pictureOf(Module, file));
    } catch (error) {
      errors.push(`demo: ${file.name} is not used: ${error.message}`);
    }
  }
  if (images.length > ImageCount) errors.push(`demo: ${images.length - ImageCount} images left out: the show has ${ImageCount} pictures`);
  const pictures = files.size;
  const [module, ...others] = modules;
  const maxModuleBytes = Module._DemoOwnModuleMaxFileBytes();
  if (module?.size > maxModuleBytes) {
    errors.push(`demo: ${module.name} is not used: ${module.size} bytes; modules above ${maxModuleBytes} bytes are not read`);
  } else if (module) {
    files.set(ModuleFileName, new Uint8Array(await module.arrayBuffer()));
  }
  if (others.length) errors.push(`demo: ${others.map(file => file.name).join(', ')} left out: the show plays one module`);
  return { files, pictures, module: files.has(ModuleFileName), errors };
}

// The title's control (#own-files) and dropping files on the page, while
// `accepting()`; each choice is converted with the program instance
// `instance()` promises, and `onReady` gets its result. Files dropped at other times are ignored rather than
// opened by the browser in place of the page. Returns the control, and
// `settled()`: a promise of the choices so far being ready.
export function takeOwnFiles({ instance, accepting, onReady }) {
  const input = document.getElementById('own-files');
  input.accept = 'image/*,.xm,.mod,.s3m,.it,.mptm,.mo3,.669,.mtm,.stm,.umx,.okt,.med';

  let queue = Promise.resolve();
  const take = chosen => {
    if (!accepting() || chosen.length === 0) return;
    queue = queue
      .then(async () => {
        const Module = await instance();
        if (Module) await onReady(await convertOwnFiles(Module, chosen));
      })
      .catch(error => console.error(`demo: ${error}`));
  };
  input.addEventListener('change', () => {
    take([...input.files]);
    input.value = '';
  });
  addEventListener('dragover', event => event.preventDefault());
  addEventListener('drop', event => {
    event.preventDefault();
    take([...event.dataTransfer.files]);
  });
  return { control: input, settled: () => queue };
}

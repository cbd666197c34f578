// Hands live sound to the page as interleaved stereo chunks of float PCM.
class QelvCapture extends AudioWorkletProcessor {
  process(inputs) {
    const input = inputs[0];
    if (input.length > 0) {
      const left = input[0], right = input[1] ?? input[0];
      const chunk = new Float32Array(left.length * 2);
      for (let i = 0; i < left.length; ++i) {
        chunk[2 * i] = left[i];
        chunk[2 * i + 1] = right[i];
      }
      this.port.postMessage(chunk, [chunk.buffer]);
    }
    return true;
  }
}
registerProcessor("qelv-capture", QelvCapture);
